#pragma once
// Lists the experiment folders of one date row off the GUI thread and reports every TIFF file
// found, one signal per file, in folder order. It only lists; it opens no picture.

#include <QString>
#include <QThread>
#include <QVariantList>

class UpdateImageByISPThread : public QThread {
    Q_OBJECT
public:
    explicit UpdateImageByISPThread(QObject* parent = nullptr);

    // Set before start.
    int index = 0;
    QVariantList imageSavePathList;

signals:
    // j is the folder's position in the list; fileName the folder followed by the name (the
    // folder alone when it holds no TIFF file).
    void updateListView(int curIndex, int j, QString fileName);

protected:
    void run() override;
};
