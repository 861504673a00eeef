.pragma library
// All-or-nothing writes in local storage. The engine's transaction() commits whatever ran
// before an exception in its callback (the exception does not reach the commit), so work that
// must be whole runs inside a savepoint that is rolled back when any statement fails; the
// error is then thrown on to the caller.

function run(db, work) {
    var error = null;
    var result;
    db.transaction(function(tx) {
        tx.executeSql("SAVEPOINT atomicWork");
        try {
            result = work(tx);
            tx.executeSql("RELEASE atomicWork");
        } catch (err) {
            error = err;
            // A full disk or an I/O error can end the whole transaction inside SQLite, and the
            // savepoint with it: the first error is the one to report.
            try {
                tx.executeSql("ROLLBACK TO atomicWork");
                tx.executeSql("RELEASE atomicWork");
            } catch (gone) {
                console.log("savepoint already gone: " + gone);
            }
        }
    });
    if (error !== null)
        throw error;
    return result;
}
