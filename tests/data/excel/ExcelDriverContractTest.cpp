// The driver contract for each Excel version. Numbers read back as Double (sheets have no
// integer cells), so the contract's Id field is expected as 7.
#include "tests/data/excel/ExcelTestSupport.h"

namespace morvane::test {
namespace {

template <int Kind>
struct ExcelHarness {
    static constexpr bool kWritable = true;
    static constexpr short kIdType = dbDouble;
    QTemporaryDir dir;
    QString path;
    int made = 0;

    std::shared_ptr<Database> CreateWithTable(int rows) {
        // One folder per workbook, the file named after the table: the one-sheet versions
        // list their sheet under the file's name.
        QDir(dir.path()).mkdir(QString::number(++made));
        path = dir.filePath(QStringLiteral("%1/Nav.xls").arg(made));
        auto db = OpenExcel(path, kExcelKinds[Kind].Connect);
        CreateTable(*db, QStringLiteral("Nav"),
                    {{QStringLiteral("Id"), dbLong, 0}, {QStringLiteral("Name"), dbText, 20}});
        auto rs = db->OpenRecordset(QStringLiteral("Nav"));
        for (int id = 1; id <= rows; ++id) AddRow(*rs, {id, QStringLiteral("N%1").arg(id)});
        rs->Close();
        db->Close();
        return OpenExcel(path, kExcelKinds[Kind].Connect);
    }
    std::shared_ptr<Database> OpenReadOnly() {
        return OpenExcel(path, kExcelKinds[Kind].Connect, true);
    }
};

using ExcelHarnesses =
    ::testing::Types<ExcelHarness<0>, ExcelHarness<1>, ExcelHarness<2>, ExcelHarness<3>>;
INSTANTIATE_TYPED_TEST_SUITE_P(Excel, DriverContract, ExcelHarnesses);

}  // namespace
}  // namespace morvane::test
