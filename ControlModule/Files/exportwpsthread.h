#pragma once

#include <QString>
#include <QThread>

class UserOpts;

// Writes one report document off the GUI thread: template, titles from the options, the user,
// the date and the picture. Deleted after it finishes.
class ExportWPSThread : public QThread {
    Q_OBJECT
public:
    explicit ExportWPSThread(UserOpts* userOpt, QObject* parent = nullptr);
    ~ExportWPSThread() override;

    // The document target (a file URL or path), the user's name and the picture to embed.
    void setExportInfo(const QString& imageSaveFileName, const QString& curUserName, const QString& picturePath);
    // The template to fill (by default the one beside the program).
    void setTemplateFile(const QString& templateFile) { m_templateFile = templateFile; }

signals:
    // The template could not be opened, or the document could not be written: reason says which,
    // with the path, in the operator's words.
    void reportFailed(const QString& reason);

protected:
    void run() override;

private:
    UserOpts* userOpt;
    QString imageSaveFileName;
    QString curUserName;
    QString picturePath;
    QString m_templateFile;
};
