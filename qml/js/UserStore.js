.pragma library
.import an.qt.UserOpts 1.0 as Options
.import "UMDatabase.js" as UMJS
.import "RMDatabase.js" as RMJS
.import "GMDatabase.js" as GMJS
// The first start of the user store: the tables that are missing are made and the tables that
// are empty seeded (the user "admin", the three roles, "Origin Group"); tables that hold rows
// are kept whatever the option flags say. Runs from the login page and from each management
// page; a second run changes nothing.

function ensureSeeded() {
    var opts = Options.UserOpts;
    RMJS.dbInitData();
    GMJS.dbInitData();
    UMJS.dbInit();
    if (UMJS.dbGetAllUserName().length === 0)
        UMJS.insertRow("admin", "tarnu", "admin", "1", false, 1);
    UMJS.dbUpdateAthorityToAdmin();
    var flags = [[opts.OPT_AlreadyEnterUM, "alreadyEnterUM"], [opts.OPT_AlreadyEnterRM, "alreadyEnterRM"],
                 [opts.OPT_AlreadyEnterGM, "alreadyEnterGM"]];
    for (var i = 0; i < flags.length; ++i) {
        opts.loadUserOptsByName(flags[i][0]);
        if (!opts[flags[i][1]]) {
            opts[flags[i][1]] = true;
            opts.saveUserOptsByName(flags[i][0]);
        }
    }
}
