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
            tx.executeSql("ROLLBACK TO atomicWork");
            tx.executeSql("RELEASE atomicWork");
        }
    });
    if (error !== null)
        throw error;
    return result;
}
