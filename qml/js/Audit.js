.pragma library
.import "ATDatabase.js" as ATJS
.import an.qt.UserOpts 1.0 as Options
// Every audited action is written twice, Chinese first, for the logged-in user.

function write(module, chinese, english) {
    var handler = Options.UserOpts.lastLoginUser;
    ATJS.dbInsert(module, chinese, handler, Options.UserOpts.Chinese);
    ATJS.dbInsert(module, english, handler, Options.UserOpts.English);
}
function openClose(on) { return on ? "打开" : "关闭" }
function openCloseEn(on) { return on ? "Open" : "Close" }
