// The Jet byte-level decoders: header password round trips and text and date forms.
#include "export/data/jet/JetHeader.h"
#include "export/data/jet/JetText.h"
#include "export/data/jet/JetValue.h"
#include "tests/data/jet/JetTestSupport.h"

#include <QDateTime>

namespace morvane::test {
namespace {

TEST(JetTextTest, DecodesCompressedAndPlainUcs2) {
    struct Case {
        QByteArray Stored;
        QString Text;
    };
    const Case cases[] = {
        {QByteArray("\xFF\xFE"
                    "abc",
                    5),
         "abc"},
        {QByteArray("a\0b\0", 4), "ab"},
        // A 00 byte switches to two-byte characters and back.
        {QByteArray("\xFF\xFE"
                    "a\0\xE9\x00\x3A\x04\0b",
                    10),
         QString::fromUtf8("aéкb")},
        {QByteArray("\xFF\xFE"
                    "a\0\x41",
                    5),
         "a"},  // a cut two-byte character is dropped
        {QByteArray("x", 1), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JetText::DecodeUcs2(c.Stored), c.Text) << c.Stored.toHex().constData();
    EXPECT_EQ(JetText::DecodeCodePage("\xE9t\xE9", 1252), QString::fromUtf8("été"));
    EXPECT_EQ(JetText::DecodeCodePage("\x82", 437), QString::fromUtf8("é"));
}

TEST(JetValueTest, DatesFromDays) {
    struct Case {
        double Days;
        QVariant Value;
    };
    const Case cases[] = {
        {0.0, QDate(1899, 12, 30)},
        {27293.0, QDate(1974, 9, 21)},
        {0.5, QTime(12, 0)},
        {-1.25, QDateTime(QDate(1899, 12, 29), QTime(6, 0))},
        {36526.75, QDateTime(QDate(2000, 1, 1), QTime(18, 0))},
        {1e300, QVariant()},
    };
    for (const Case& c : cases) EXPECT_EQ(JetValue::DateFromDays(c.Days), c.Value) << c.Days;
}

TEST(JetHeaderTest, ReadsFixtureHeadersAndPasswordRoundTrips) {
    SKIP_WITHOUT_JET_FIXTURES();
    struct Case {
        const char* File;
        int Version;
    };
    for (const Case& c : {Case{"testV1997.mdb", 0}, Case{"queryTestV2000.mdb", 1}}) {
        const QByteArray bytes = ReadBytes(JetFixture(c.File)).left(4096);
        const JetHeader header = JetHeader::Parse(bytes);
        ASSERT_TRUE(header.Valid()) << c.File;
        EXPECT_EQ(header.Version(), c.Version);
        EXPECT_EQ(header.CodePage(), 1252);
        EXPECT_EQ(header.Password(), QString());
        for (const QString& password :
             {QStringLiteral("a"), QStringLiteral("0123456789abcdefghijkl")}) {
            const JetHeader changed = JetHeader::Parse(JetHeader::WithPassword(bytes, password));
            EXPECT_EQ(changed.Password(), password.left(20)) << c.File;
            EXPECT_EQ(changed.CodePage(), 1252);
        }
    }
    EXPECT_FALSE(JetHeader::Parse(QByteArray(200, '\0')).Valid());
}

}  // namespace
}  // namespace morvane::test
