#pragma once
// The files flow alone on a context of its own: a user option store whose image folder is a
// temporary copy folder, a Tucsen controller, the three experiment tables and, where a test
// deletes Kestrix frames, that camera's controller.

#include "filesflow.h"
#include "flowcontext.h"
#include "gelexperimentdb.h"
#include "h695icecamctrl.h"
#include "multexperimentdb.h"
#include "useropts.h"
#include "westernblotexperimentdb.h"

#include <QTemporaryDir>

#include <memory>

class KestrixCtrl;

struct FilesRig {
    explicit FilesRig(KestrixCtrl* kestrix = nullptr)
        : opts(ini.filePath("user.ini"))
    {
        opts.setImageSavePath(copies.path());
        opts.saveUserOptsByName(UserOpts::OPT_ImageSavePath);
        FlowContext::Devices devices;
        devices.tucsen = &cam;
        devices.kestrix = kestrix;
        devices.userOpts = &opts;
        devices.gelExpDB = GelExperimentDB::getInstance();
        devices.wbExpDB = WesternBlotExperimentDB::getInstance();
        devices.multExpDB = MultExperimentDB::getInstance();
        ctx = std::make_unique<FlowContext>(devices);
        flow = std::make_unique<FilesFlow>(*ctx);
    }
    QString copy(const QString& tail) const { return copies.path() + tail; }
    TsFrameStore& frames() { return cam.frameStore(); }

    QTemporaryDir ini;
    QTemporaryDir copies;
    UserOpts opts;
    H695ICECamCtrl cam;
    std::unique_ptr<FlowContext> ctx;
    std::unique_ptr<FilesFlow> flow;
};
