.pragma library
.import "ATDatabase.js" as ATJS
.import an.qt.UserOpts 1.0 as Options
// Every audited action is written twice, Chinese and English, in one transaction, for the
// logged-in user.

function write(module, chinese, english) {
    return ATJS.dbInsertPair(module, chinese, english, Options.UserOpts.lastLoginUser);
}
function openClose(on) { return on ? "打开" : "关闭" }
function openCloseEn(on) { return on ? "Open" : "Close" }
