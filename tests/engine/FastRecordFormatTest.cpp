// The export run's fast path (FastRecordFormat over Recordset::ReadRaw) against the general
// field-by-field routine it stands in for: the same randomized tables exported with the same
// randomized settings must give the same bytes. The tables are written through the sqlite3
// C API so that every column holds every storage class (text in numeric columns, numbers in
// text and date columns, blobs, dates before 1900 and after 9999, invalid UTF-8, text outside
// the code page), and the settings cover every option that changes bytes.
#include "export/data/sqlite/SqliteDatabase.h"
#include "tests/wizard/SessionTestSupport.h"

#include <sqlite3.h>
#include <QRandomGenerator>
#include <cmath>
#include <limits>

namespace morvane {
namespace {

using test::ReadBytes;

// A caller whose BeforeRecordExport handler is "connected" on request: the run then has to
// take the general routine, since the handler would see the record's text.
class SwitchableCaller : public PlainCaller {
  public:
    bool handled = false;
    bool BeforeRecordExportHandled() const override { return handled; }
};

const char* const kDeclaredTypes[] = {"INTEGER", "SMALLINT", "TINYINT",  "BIGINT",   "BOOLEAN",
                                      "DOUBLE",  "SINGLE",   "CURRENCY", "DATETIME", "VARCHAR(12)",
                                      "TEXT",    "GUID",     "BLOB",     "NUMERIC",  "REAL"};

class RandomValues {
  public:
    explicit RandomValues(quint32 seed) : random_(seed) {}

    int Below(int bound) { return static_cast<int>(random_.bounded(bound)); }

    double Real() {
        switch (Below(9)) {
            case 0:  // exact ties at the last kept digit of Currency and of 15 digits
                return (2 * Below(100000) + 1) / 32.0 * (Below(2) ? 1 : -1);
            case 1:
                return Below(1000000) / 100.0 - 5000;
            case 2: {  // any finite bit pattern
                double value = 0;
                do {
                    const quint64 bits = random_.generate64();
                    std::memcpy(&value, &bits, sizeof value);
                } while (!std::isfinite(value));
                return value;
            }
            case 3:
                return std::pow(10.0, Below(600) - 300) * (Below(2) ? 1 : -1);
            case 4:
                return Below(2) ? std::numeric_limits<double>::infinity()
                                : -std::numeric_limits<double>::infinity();
            case 5:
                return -0.0;
            case 6:
                return 0.5 + Below(1000) * 1e-15;
            case 7:
                return static_cast<double>(static_cast<float>(Below(100000) / 7.0));
            default:
                return random_.generateDouble() * std::pow(10.0, Below(40) - 20);
        }
    }

    qint64 Integer() {
        switch (Below(5)) {
            case 0:
                return std::numeric_limits<qint64>::min() + Below(3);
            case 1:
                return std::numeric_limits<qint64>::max() - Below(3);
            case 2:
                return Below(3) - 1;
            case 3:
                return static_cast<qint64>(random_.generate64());
            default:
                return Below(2000000) - 1000000;
        }
    }

    QByteArray Text() {
        static const char* const kDates[] = {"2024-02-29",
                                             "1899-12-30 13:14:15",
                                             "1850-03-04 05:06:07",
                                             "0100-01-01",
                                             "9999-12-31 23:59:59",
                                             "12000-01-01 00:00:00",
                                             "1999-12-31 00:00:00",
                                             "23:59:59",
                                             "00:00:00.250",
                                             "2001-02-03T04:05:06",
                                             "24:00:00",
                                             "2023-13-40",
                                             "1/2/2003",
                                             "",
                                             "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}"};
        static const char16_t kUnits[] = {u'a',  u'Z',  u'0',  u' ',  u',',  u';',    u'"',
                                          u'\'', u'\r', u'\n', u'\t', u'é',  u'ß',    u'µ',
                                          u'ÿ',  u'€',  u'Ω',  u'ж',  u'中', u'\x81', u'<',
                                          u'&',  u'.',  u'-',  u'E',  u'ı',  u'ǅ'};
        switch (Below(6)) {
            case 0:
                return kDates[Below(std::size(kDates))];
            case 1: {  // invalid UTF-8, lone surrogates, a byte-order mark
                static const char* const kOdd[] = {"a\xC3",
                                                   "\xFF\xFEx",
                                                   "\xED\xA0\x80z",
                                                   "\xEF\xBB\xBF"
                                                   "bom",
                                                   "\xC0\xAF",
                                                   "\xF4\x90\x80\x80",
                                                   "x\xE2\x82"};
                return kOdd[Below(std::size(kOdd))];
            }
            case 2:
                return QByteArray::number(Integer());
            default: {
                QString text;
                const int length = Below(20);
                for (int i = 0; i < length; ++i) {
                    if (Below(12) == 0)
                        text += QString::fromUcs4(U"\U0001F600", 1);  // outside the BMP
                    else
                        text += QChar(kUnits[Below(std::size(kUnits))]);
                }
                return text.toUtf8();
            }
        }
    }

    void Bind(sqlite3_stmt* insert, int index) {
        switch (Below(6)) {
            case 0:
                sqlite3_bind_null(insert, index);
                break;
            case 1:
                sqlite3_bind_int64(insert, index, Integer());
                break;
            case 2:
                sqlite3_bind_double(insert, index, Real());
                break;
            case 3: {
                QByteArray blob(Below(2) ? 16 : Below(8), '\0');
                for (char& byte : blob) byte = static_cast<char>(Below(256));
                sqlite3_bind_blob(insert, index, blob.constData(), static_cast<int>(blob.size()),
                                  SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray text = Text();
                sqlite3_bind_text(insert, index, text.constData(), static_cast<int>(text.size()),
                                  SQLITE_TRANSIENT);
            }
        }
    }

  private:
    QRandomGenerator random_;
};

void WriteRandomTable(const QString& path, RandomValues& values, int rows) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    QByteArray create = "CREATE TABLE T (";
    QByteArray marks;
    for (size_t column = 0; column < std::size(kDeclaredTypes); ++column) {
        create += (column ? ", c" : "c") + QByteArray::number(static_cast<int>(column)) + ' ' +
                  kDeclaredTypes[column];
        marks += column ? ",?" : "?";
    }
    create += ")";
    ASSERT_EQ(sqlite3_exec(db, create.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "INSERT INTO T VALUES (" + marks + ")", -1, &insert, nullptr),
              SQLITE_OK);
    for (int row = 0; row < rows; ++row) {
        for (int column = 1; column <= static_cast<int>(std::size(kDeclaredTypes)); ++column)
            values.Bind(insert, column);
        ASSERT_EQ(sqlite3_step(insert), SQLITE_DONE);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

class FastRecordFormatTest : public test::SessionTest {
  protected:
    void SetUp() override {
        test::SessionTest::SetUp();
        session_->SetCaller(&switchable_);
        switchable_.Properties.ShowSummary = false;
        switchable_.Properties.OverWrite = true;
    }

    void RandomSetting(RandomValues& random) {
        ExportSetting& setting = session_->Setting();
        setting.TypeFormat = random.Below(4);
        setting.SetSeparator(random.Below(4));
        setting.SetDelimiter(random.Below(3));
        setting.RecomputeUseDelimiter();
        if (random.Below(8) == 0) setting.UseDelimiter = true;  // as a hand-written file may say
        setting.ExportFldNames = random.Below(2);
        setting.ExportHtmlFldNames = random.Below(2);
        setting.RecFieldSeparator = random.Below(5);
        setting.RecSepOther = QLatin1Char(random.Below(2) ? '|' : ' ');
        setting.Upper = random.Below(2);
        setting.OemConvert = random.Below(2);
        setting.StartingLine = 1 + random.Below(3);
        setting.ExportAll = random.Below(3) != 0;
        setting.MaxLines = random.Below(200);
        for (short& width : setting.Size) width = static_cast<short>(random.Below(25));
        // A random choice and order of fields, repeats allowed.
        QStringList fields =
            session_->Lists().Selected().Names() + session_->Lists().Available().Names();
        QStringList chosen;
        const int count = 1 + random.Below(static_cast<int>(std::size(kDeclaredTypes)) + 3);
        for (int i = 0; i < count; ++i) chosen << fields.at(random.Below(fields.size()));
        session_->Lists().Selected().Assign(chosen);
        setting.nbFields = static_cast<short>(chosen.size());
    }

    QByteArray ExportWith(bool handled, const QString& name) {
        switchable_.handled = handled;
        session_->Source().Rs()->MoveFirst();
        events_.clear();
        return Export(PathOf(name));
    }

    // A BeforeFieldExport handler that logs what it is given and rewrites some values,
    // adding line ends and characters outside the code page.
    void ConnectFieldHandler(bool connect) {
        if (!connect) {
            switchable_.Hooks.BeforeFieldExport = nullptr;
            return;
        }
        switchable_.Hooks.BeforeFieldExport = [this](const QString& table, const QString& field,
                                                     short type, short size, QString& value) {
            events_ << QStringLiteral("%1|%2|%3|%4|%5")
                           .arg(table, field)
                           .arg(type)
                           .arg(size)
                           .arg(value);
            if (value.size() % 3 == 0)
                value += QStringLiteral("\r\nñ€Ω");
            else if (value.size() % 3 == 1)
                value = value.left(2);
        };
    }

    SwitchableCaller switchable_;
    QStringList events_;
};

TEST_F(FastRecordFormatTest, SameBytesAsTheGeneralRoutineOnRandomTables) {
    struct Regional {
        QLocale locale;
        const char* ansi;
        const char* oem;
    };
    const Regional regionals[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), "windows-1252", "IBM437"},
        {QLocale(QLocale::German, QLocale::Germany), "windows-1252", "IBM850"},
        {QLocale(QLocale::Russian, QLocale::Russia), "windows-1251", "IBM866"},
    };
    for (quint32 seed = 1; seed <= 3; ++seed) {
        RandomValues random(seed);
        const Regional& regional = regionals[seed - 1];
        SetRegionalLocale(regional.locale);
        ASSERT_TRUE(CodePage::SetAnsiCodePage(QString::fromLatin1(regional.ansi)));
        ASSERT_TRUE(CodePage::SetOemCodePage(QString::fromLatin1(regional.oem)));
        const QString source = PathOf(QStringLiteral("random%1.db").arg(seed));
        WriteRandomTable(source, random, 150);
        session_->Source().SetDb(DBEngine::Instance().OpenDatabase(source));
        session_->Source().SetRs(
            session_->Source().Db()->OpenRecordset(QStringLiteral("T"), dbOpenTable));
        session_->Source().SetName(QStringLiteral("T"));
        session_->SetDefaultSetting();
        for (int round = 0; round < 25; ++round) {
            RandomSetting(random);
            ConnectFieldHandler(random.Below(3) == 0);
            const QByteArray general = ExportWith(true, QStringLiteral("general.txt"));
            const QStringList generalEvents = events_;
            const QByteArray fast = ExportWith(false, QStringLiteral("fast.txt"));
            ASSERT_EQ(events_, generalEvents) << "seed " << seed << " round " << round;
            ASSERT_FALSE(general.isEmpty());
            ASSERT_EQ(fast, general)
                << "seed " << seed << " round " << round << " kind "
                << session_->Setting().TypeFormat << " fields "
                << session_->Lists().Selected().Names().join(',').toStdString();
        }
        session_->Source().ReleaseRecordset();
        session_->Source().SetDb(nullptr);
    }
    EXPECT_TRUE(Boxes().empty());  // neither path reported anything
}

// Number texts alone, over many more values than the tables hold.
TEST(FastNumberTextTest, FloatingAndCurrencyCharsMatchValueText) {
    SetRegionalLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    RandomValues random(99);
    char buffer[kNumberChars];
    for (int i = 0; i < 200000; ++i) {
        const double value = random.Real();
        const auto chars = [&](int length) { return QString::fromLatin1(buffer, length); };
        ASSERT_EQ(chars(FloatingChars(value, 15, buffer)), ValueText(value, dbDouble)) << value;
        ASSERT_EQ(chars(FloatingChars(static_cast<float>(value), 7, buffer)),
                  ValueText(static_cast<float>(value), dbSingle))
            << value;
        ASSERT_EQ(chars(CurrencyChars(value, buffer)), ValueText(value, dbCurrency)) << value;
    }
    // Values whose rounding to 15 digits carries into a new digit, crosses the ranges of
    // the exact integer rounding, or leaves it (subnormal, huge).
    const double edges[] = {999.99999999999994,
                            9.9999999999999995e20,
                            1e15 + 0.3,
                            123456789012345678.0,
                            0.1 + 0.2,
                            1.0 / 3,
                            2.0 / 3 * 1e-10,
                            5e-324,
                            1.7976931348623157e308,
                            -99999.999999999985,
                            4503599627370497.5,
                            1e-22 / 3,
                            7e22 / 3,
                            1234567890123.125,
                            -1234567890123.125,
                            0.000123456789012345};
    for (const double value : edges) {
        const auto chars = [&](int length) { return QString::fromLatin1(buffer, length); };
        EXPECT_EQ(chars(FloatingChars(value, 15, buffer)), ValueText(value, dbDouble)) << value;
    }
}

}  // namespace
}  // namespace morvane
