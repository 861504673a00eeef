#include "regularremovethread.h"

#include "useropts.h"

RegularRemoveThread::RegularRemoveThread(UserOpts* userOpt, QObject* parent)
    : QThread(parent)
    , userOpt(userOpt)
{
}

RegularRemoveThread::~RegularRemoveThread()
{
    wait();
}

void RegularRemoveThread::run()
{
    // The pass over the image folders and the experiment tables comes with the image library.
}
