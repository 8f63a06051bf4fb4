#include "export/data/jet/JetCursor.h"

#include "export/data/jet/JetValue.h"

namespace morvane {

JetCursor::JetCursor(std::shared_ptr<JetFile> file, MdbTableDef* table, Ownership ownership)
    : file_(std::move(file)),
      table_(table),
      ownership_(ownership),
      fields_(table->num_cols),
      byColumn_(table->num_cols, -1) {}

JetCursor::~JetCursor() {
    if (ownership_ == Owned) mdb_free_tabledef(table_);
}

const MdbColumn& JetCursor::Column(int column) const {
    return *static_cast<const MdbColumn*>(
        g_ptr_array_index(table_->columns, static_cast<guint>(column)));
}

int JetCursor::ColumnIndex(const QByteArray& name) const {
    for (int column = 0; column < ColumnCount(); ++column)
        if (g_ascii_strcasecmp(Column(column).name, name.constData()) == 0) return column;
    return -1;
}

bool JetCursor::Required(int column) const {
    return required_.contains(QString::fromUtf8(Column(column).name).toCaseFolded());
}

void JetCursor::Rewind() {
    started_ = false;
    ended_ = false;
    page_ = 0;
    row_ = 0;
}

bool JetCursor::NextPage() {
    // libmdb keeps its place in the table definition; another cursor on the same table
    // definition (none today) or a rewind may have moved it.
    table_->cur_phys_pg = page_;
    const int next = mdb_read_next_dpg(table_);
    if (next <= 0 || !file_->ValidPage(static_cast<quint64>(next))) {
        ended_ = true;
        return false;
    }
    page_ = static_cast<quint32>(next);
    row_ = 0;
    return true;
}

bool JetCursor::Next() {
    if (ended_) return false;
    if (!started_) {
        started_ = true;
        mdb_rewind_table(table_);
        if (!NextPage()) return false;
    }
    MdbHandle* handle = file_->Handle();
    for (;;) {
        // Another cursor or a long value read may have replaced the page buffer.
        if (!file_->LoadPage(page_))
            file_->RaiseCorrupt(QStringLiteral("page %1 cannot be read").arg(page_));
        const int count = file_->RowCount(handle->pg_buf);
        if (count < 0)
            file_->RaiseCorrupt(QStringLiteral("page %1 lists more rows than it holds").arg(page_));
        if (row_ >= count) {
            if (!NextPage()) return false;
            continue;
        }
        const int row = row_++;
        int start = 0;
        int length = 0;
        bool deleted = false;
        if (!file_->FindRow(handle->pg_buf, row, &start, &length, &deleted) || deleted ||
            length == 0)
            continue;  // as libmdb does: a row the directory cannot place is no row
        const int cracked =
            mdb_crack_row(table_, start, static_cast<size_t>(length), fields_.data());
        if (cracked < 0 || cracked > ColumnCount()) continue;
        if (!mdb_test_sargs(table_, fields_.data(), cracked)) continue;
        std::fill(byColumn_.begin(), byColumn_.end(), -1);
        for (int index = 0; index < cracked; ++index) {
            const int column = fields_[static_cast<size_t>(index)].colnum;
            if (column >= 0 && column < ColumnCount())
                byColumn_[static_cast<size_t>(column)] = index;
        }
        return true;
    }
}

QVariant JetCursor::Value(int column) {
    const int index = byColumn_.at(static_cast<size_t>(column));
    if (index < 0) return QVariant();
    if (!file_->LoadPage(page_))
        file_->RaiseCorrupt(QStringLiteral("page %1 cannot be read").arg(page_));
    return JetValue::Read(*file_, Column(column), fields_[static_cast<size_t>(index)]);
}

}  // namespace morvane
