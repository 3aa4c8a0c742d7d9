// A table file's bytes, read as the window reads them, then judged and
// translated as a play of the table is. A table that passes the checks must
// translate into Lua that compiles, and the rows read must come back from
// the file they are written to (but for carriage returns that end a line:
// the format takes one as part of the line end).

#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "FuzzChecks.h"
#include "input/KeyNames.h"
#include "table/RowValidity.h"
#include "table/TableFile.h"
#include "table/TableTranslation.h"

namespace {

table::TableRows withoutEndingReturns(table::TableRows rows) {
    for (table::TableRow& row : rows)
        while (row.delay.endsWith(QLatin1Char('\r'))) row.delay.chop(1);
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    initKeyNames();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray contents(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const table::ParsedTable parsed = table::parseTableFile(contents);

    const QByteArray written = table::formatTableFile(parsed.rows);
    const table::ParsedTable reread = table::parseTableFile(written);
    if (withoutEndingReturns(reread.rows) != withoutEndingReturns(parsed.rows) || !reread.notes.isEmpty())
        fuzzFailure("rows changed on being written and read again", written);

    const QVector<table::RowFault> faults = table::tableFaults(parsed.rows);
    for (const table::RowFault& fault : faults) (void)table::describeFault(fault);
    if (!faults.isEmpty())
        return 0;

    const QByteArray script = table::tableScriptFile(parsed.rows);
    QByteArray error;
    if (!luaLoads(script, &error))
        fuzzFailure(("a valid table translates into Lua that does not compile: " + error).constData(),
                    script);
    return 0;
}
