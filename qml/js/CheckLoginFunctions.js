.pragma library
.import an.qt.UserOpts 1.0 as Options
// The electronic-signature gate: showCheckLogin(callback, rejectedCallback). With the signature
// option off, or nobody logged in, the action runs at once. The password dialog is not built
// yet; until then a signed action is decided by standInAnswer (true: confirmed).

var standInAnswer = true;
var asked = 0;

function setStandInAnswer(confirmed) { standInAnswer = confirmed }
function askedCount() { return asked }

function showCheckLogin(callback, rejectedCallback) {
    var opts = Options.UserOpts;
    if (!opts.isSignature || String(opts.lastLoginUser) === "") {
        callback();
        return;
    }
    ++asked;
    if (standInAnswer)
        callback();
    else if (rejectedCallback)
        rejectedCallback();
}
