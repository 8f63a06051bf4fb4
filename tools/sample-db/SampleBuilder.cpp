#include "tools/sample-db/SampleBuilder.h"

#include "export/data/Database.h"
#include "export/data/FieldTypes.h"
#include "export/data/Recordset.h"
#include "export/data/dbengine/DBEngine.h"

#include <QDateTime>
#include <QUuid>
#include <cmath>

namespace morvane {

namespace {

struct FieldSpec {
    const char* Name;
    short Type;
    int Size;
    bool Required;
};

void CreateTable(Database& database, const QString& name, std::initializer_list<FieldSpec> specs) {
    auto table = database.CreateTableDef(name);
    for (const FieldSpec& spec : specs) {
        auto field = table->CreateField(QString::fromUtf8(spec.Name), spec.Type, spec.Size);
        field->SetRequired(spec.Required);
        table->Fields().Append(field);
    }
    database.TableDefs().Append(table);
}

const char* const kCompanies[] = {
    "Müller & Söhne",    "Café Olé, S.A.",       "O'Brien's \"Best\" Foods",
    "Ærø Fisk",          "Straße 5 GmbH",        "Peña Hermanos",
    "Crème Brûlée Ltd.", "Smith, Jones and Co.", "Zürcher Käserei",
    "Łódź Trading",      "Björk Design",         "Niño's Toys",
};
const char* const kCities[] = {"München", "São Paulo", "Reykjavík", "Kraków",
                               "Genève",  "Dublin",    "Málaga",    "Zürich"};
const char* const kCountries[] = {"Germany",     "Brazil",  "Iceland", "Poland",
                                  "Switzerland", "Ireland", "Spain",   "Switzerland"};
const char* const kProductNames[] = {"Chai",           "Café au lait",    "Crème fraîche",
                                     "Jalapeño sauce", "Smørrebrød",      "Pâté",
                                     "Gruyère, aged",  "\"Old\" cheddar", "Baker's bread"};

}  // namespace

void SampleBuilder::Build(const QString& path) {
    auto database = DBEngine::Instance().CreateDatabase(
        path, QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0"), 32);
    CreateTables(*database);
    FillCustomers(*database);
    FillProducts(*database);
    FillOrders(*database);
    database->Execute(QStringLiteral(
        "CREATE VIEW CustomerOrders AS SELECT o.OrderID, c.CompanyName, c.City, o.OrderDate, "
        "o.Quantity, o.Total FROM Orders o JOIN Customers c ON c.CustomerID = o.CustomerID"));
    DefineQueries(*database);
    database->Close();
}

// Stored queries of every kind the export wizard handles differently.
void SampleBuilder::DefineQueries(Database& database) {
    database.CreateQueryDef(
        QStringLiteral("OrdersAbove"), 0,
        QStringLiteral("SELECT o.OrderID, c.CompanyName, c.Country, o.Quantity, o.Total "
                       "FROM Orders o JOIN Customers c ON c.CustomerID = o.CustomerID "
                       "WHERE o.Quantity >= :MinQuantity AND c.Country = :Country "
                       "ORDER BY o.OrderID"));
    database.CreateQueryDef(
        QStringLiteral("OrdersByCountry"), 112,
        QStringLiteral("SELECT c.Country, count(*) AS Orders, sum(o.Total) AS Total "
                       "FROM Orders o JOIN Customers c ON c.CustomerID = o.CustomerID "
                       "GROUP BY c.Country ORDER BY c.Country"));
    database.CreateQueryDef(QStringLiteral("DeleteUnshippedOrders"), 32,
                            QStringLiteral("DELETE FROM Orders WHERE ShippedDate IS NULL"));
    database.CreateQueryDef(
        QStringLiteral("RaisePriority"), 48,
        QStringLiteral("UPDATE Orders SET Priority = 2 WHERE Quantity >= :MinQuantity"));
    database.CreateQueryDef(
        QStringLiteral("MakeCustomerTotals"), 80,
        QStringLiteral("CREATE TABLE CustomerTotals AS SELECT CustomerID, count(*) AS Orders, "
                       "sum(Total) AS Total FROM Orders GROUP BY CustomerID"));
}

void SampleBuilder::CreateTables(Database& database) {
    CreateTable(database, QStringLiteral("Customers"),
                {{"CustomerID", dbLong, 0, true},
                 {"CompanyName", dbText, 60, true},
                 {"City", dbText, 40, false},
                 {"Country", dbText, 30, false},
                 {"Active", dbBoolean, 0, false},
                 {"Rating", dbByte, 0, false},
                 {"Since", dbDate, 0, false},
                 {"Notes", dbMemo, 0, false},
                 {"Logo", dbLongBinary, 0, false},
                 {"CustomerGuid", dbGUID, 0, false}});
    CreateTable(database, QStringLiteral("Products"),
                {{"ProductID", dbInteger, 0, true},
                 {"ProductName", dbText, 50, true},
                 {"UnitPrice", dbCurrency, 0, false},
                 {"Weight", dbSingle, 0, false},
                 {"Code", dbBinary, 8, false},
                 {"Discontinued", dbBoolean, 0, false}});
    CreateTable(database, QStringLiteral("Orders"),
                {{"OrderID", dbLong, 0, true},
                 {"CustomerID", dbLong, 0, true},
                 {"ProductID", dbInteger, 0, true},
                 {"Quantity", dbInteger, 0, false},
                 {"UnitPrice", dbCurrency, 0, false},
                 {"Discount", dbSingle, 0, false},
                 {"Total", dbDouble, 0, false},
                 {"OrderDate", dbDate, 0, false},
                 {"ShippedDate", dbDate, 0, false},
                 {"Comment", dbText, 80, false},
                 {"Priority", dbByte, 0, false}});
}

void SampleBuilder::FillCustomers(Database& database) {
    auto recordset = database.OpenRecordset(QStringLiteral("Customers"), dbOpenTable);
    Fields& fields = recordset->Fields();
    const QDateTime since(QDate(2015, 1, 1), QTime(9, 0));
    for (int id = 1; id <= kCustomers; ++id) {
        recordset->AddNew();
        const int company = (id - 1) % static_cast<int>(std::size(kCompanies));
        const int city = Random(static_cast<int>(std::size(kCities)));
        fields.Item(0).SetValue(id);
        fields.Item(1).SetValue(QString::fromUtf8(kCompanies[company]) +
                                (id > 12 ? QStringLiteral(" #%1").arg(id) : QString()));
        if (id % 9 != 0) fields.Item(2).SetValue(QString::fromUtf8(kCities[city]));
        if (id % 9 != 0) fields.Item(3).SetValue(QString::fromUtf8(kCountries[city]));
        fields.Item(4).SetValue(id % 4 != 0);
        fields.Item(5).SetValue(Random(256));
        fields.Item(6).SetValue(since.addDays(Random(3000)).addSecs(Random(36000)));
        if (id % 5 != 0)
            fields.Item(7).SetValue(QStringLiteral("Customer since %1.\r\nPrefers \"express\" "
                                                   "delivery, no weekends.\r\nContact: Ms. "
                                                   "D'Arcy")
                                        .arg(2015 + id % 8));
        if (id % 3 == 0) {
            QByteArray logo(64 + id, '\0');
            for (char& byte : logo) byte = static_cast<char>(Random(256));
            fields.Item(8).SetValue(logo);
        }
        QByteArray guid(16, '\0');
        for (char& byte : guid) byte = static_cast<char>(Random(256));
        guid[6] = static_cast<char>((guid[6] & 0x0f) | 0x40);
        guid[8] = static_cast<char>((guid[8] & 0x3f) | 0x80);
        fields.Item(9).SetValue(QVariant::fromValue(QUuid::fromRfc4122(guid)));
        recordset->Update();
    }
    recordset->Close();
}

void SampleBuilder::FillProducts(Database& database) {
    auto recordset = database.OpenRecordset(QStringLiteral("Products"), dbOpenTable);
    Fields& fields = recordset->Fields();
    for (int id = 1; id <= kProducts; ++id) {
        recordset->AddNew();
        fields.Item(0).SetValue(id);
        fields.Item(1).SetValue(
            QString::fromUtf8(kProductNames[(id - 1) % std::size(kProductNames)]) +
            QStringLiteral(" %1").arg(id));
        fields.Item(2).SetValue(Random(100000) / 100.0 + 0.0025 * (id % 3));
        if (id % 7 != 0) fields.Item(3).SetValue(static_cast<float>(Random(5000) / 4.0));
        QByteArray code(1 + id % 8, '\0');
        for (char& byte : code) byte = static_cast<char>(Random(256));
        fields.Item(4).SetValue(code);
        fields.Item(5).SetValue(id % 6 == 0);
        recordset->Update();
    }
    recordset->Close();
}

void SampleBuilder::FillOrders(Database& database) {
    static const char* const kComments[] = {"Leave at the door, please", "Call before: \"urgent\"",
                                            "Gift wrap, no invoice", "Client's order; deliver Mon.",
                                            "Fragile – handle with care"};
    auto recordset = database.OpenRecordset(QStringLiteral("Orders"), dbOpenTable);
    Fields& fields = recordset->Fields();
    const QDateTime first(QDate(2023, 1, 2), QTime(8, 30));
    for (int id = 1; id <= options_.Orders; ++id) {
        recordset->AddNew();
        const int quantity = 1 + Random(50);
        const double price = (100 + Random(9900)) / 100.0;
        const double discount = Random(4) * 5 / 100.0;
        const QDateTime ordered = first.addSecs(static_cast<qint64>(id) * 1800 + Random(1800));
        fields.Item(0).SetValue(id);
        fields.Item(1).SetValue(1 + Random(kCustomers));
        fields.Item(2).SetValue(1 + Random(kProducts));
        fields.Item(3).SetValue(quantity);
        fields.Item(4).SetValue(price);
        fields.Item(5).SetValue(static_cast<float>(discount));
        fields.Item(6).SetValue(std::round(quantity * price * (1.0 - discount) * 100.0) / 100.0);
        fields.Item(7).SetValue(ordered);
        if (id % 10 != 0) fields.Item(8).SetValue(ordered.date().addDays(1 + Random(10)));
        if (id % 4 == 0)
            fields.Item(9).SetValue(QString::fromUtf8(kComments[Random(std::size(kComments))]));
        fields.Item(10).SetValue(Random(3));
        recordset->Update();
    }
    recordset->Close();
}

}  // namespace morvane
