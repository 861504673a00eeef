#pragma once
// Western-blot preview on the Kestrix camera: continuous acquisition into a ring buffer, each
// frame handed to the views and announced; exposure and gain changes applied between frames. The
// same object may be started again (after a binning change): each run starts afresh.

#include <QThread>

class KestrixCtrl;

class WBQIPreviewThread : public QThread {
    Q_OBJECT
public:
    explicit WBQIPreviewThread(QObject* parent = nullptr);
    ~WBQIPreviewThread() override;

    // Silence of the camera that ends the preview as an error (ms).
    int frameTimeoutMs = 6000;

signals:
    void sig_CamErrorOccur();
    void updatePreviewImage();

protected:
    void run() override;

private:
    // Logs "相机错误代码:", the library's code and text; emits sig_CamErrorOccur.
    void reportError(const char* text);

    KestrixCtrl* kx;
};
