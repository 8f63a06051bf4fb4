// The Excel drivers: "Excel 3.0" (BIFF3 worksheet file), "Excel 4.0" (BIFF4 worksheet file),
// "Excel 5.0" (BIFF5 workbook in an OLE2 compound file) and "Excel 97" (BIFF8 workbook),
// each its own class over one ExcelDatabase. Every one of them reads all four versions; a
// database writes only its own (ExcelDatabase). Opening never changes the file.
#pragma once

#include "export/data/Driver.h"
#include "export/data/excel/BiffFormat.h"

namespace morvane {

class DriverRegistry;

class ExcelDriver : public Driver {
  public:
    std::shared_ptr<Database> OpenDatabase(const QString& name, const OpenOptions& options,
                                           const QString& connect,
                                           const ConnectInfo& info) override;
    Biff Version() const { return version_; }

  protected:
    explicit ExcelDriver(Biff version) : version_(version) {}

  private:
    Biff version_;
};

class Excel3Driver : public ExcelDriver {
  public:
    Excel3Driver() : ExcelDriver(Biff::V3) {}
};

class Excel4Driver : public ExcelDriver {
  public:
    Excel4Driver() : ExcelDriver(Biff::V4) {}
};

class Excel5Driver : public ExcelDriver {
  public:
    Excel5Driver() : ExcelDriver(Biff::V5) {}
};

class Excel97Driver : public ExcelDriver {
  public:
    Excel97Driver() : ExcelDriver(Biff::V8) {}
};

//! Registers the four drivers under "Excel 3.0", "Excel 4.0", "Excel 5.0" and "Excel 97".
void RegisterExcelDrivers(DriverRegistry& registry);

}  // namespace morvane
