#include "updateimagebyispthread.h"

#include "libraryfiles.h"

UpdateImageByISPThread::UpdateImageByISPThread(QObject* parent)
    : QThread(parent)
{
}

void UpdateImageByISPThread::run()
{
    for (int i = 0; i < imageSavePathList.size(); ++i) {
        const QString folder = imageSavePathList.at(i).toString();
        for (const QString& name : tifFileNames(folder))
            emit updateListView(index, i, folder + name);
    }
}
