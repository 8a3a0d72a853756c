#include "tablestore/Table.h"

#include "common/Messages.h"
#include "platform/FileLock.h"
#include "tablestore/CodePage.h"
#include "tablestore/DbfHeader.h"
#include "tablestore/DbfLayout.h"
#include "tablestore/FieldCodec.h"
#include "tablestore/LocateIndex.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSet>

#include <cstring>
#include <ctime>
#include <optional>

namespace puente {

namespace {

// Records are read in blocks of about this size, each starting at a multiple
// of the records a block holds; the last kCachedBlocks blocks read are kept.
// A table of up to kCachedBlocks blocks (4 MiB) is read once however its
// records are reached, so Locate and First alternating on a lookup table cost
// no reading; a larger one is streamed with at most that much in memory.
constexpr qint64 kBlockBytes = 512 * 1024;
constexpr int kCachedBlocks = 8;

// The date of today is looked up again when this many seconds have passed
// (the lookup reads the system's time zone, too slow for every Post).
constexpr std::time_t kDateRefreshSeconds = 60;

const QString kExtension = QStringLiteral(".DBF");

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

// The table's name without a ".DBF" ending.
QString BareName(QString name) {
    if (name.endsWith(kExtension, Qt::CaseInsensitive)) name.chop(kExtension.size());
    return name;
}

// The existing file of the table, found with letter case ignored, or the
// path it would have.
QString LocateFile(const QString& directory, const QString& name) {
    const QDir dir(directory);
    const QString wanted = name + kExtension;
    const QString exact = dir.filePath(wanted);
    if (QFileInfo(exact).isFile()) return exact;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& entry : entries)
        if (entry.compare(wanted, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    return exact;
}

bool IsValidFieldName(const QString& name) {
    if (name.isEmpty() || name.size() > dbf::kMaxFieldNameLength) return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
        const bool digit = c >= u'0' && c <= u'9';
        if (!(letter || (i > 0 && (digit || c == u'_')))) return false;
    }
    return true;
}

}  // namespace

struct Table::Impl {
    LockedFile file;
    TableLayout layout;
    CodecContext context;
    QHash<QString, int> fieldIndex;  // upper-case name -> field
    QString displayPath;

    // Read blocks, records [start, start + count) each; the newest last.
    struct Block {
        qint64 start = 0;
        qint64 count = 0;
        QByteArray bytes;
    };
    QList<Block> blocks;

    // Write-behind: records posted and not yet in the file, the last
    // gathered.size() / recordLength of the layout's recordCount.
    bool writeBehind = false;
    QByteArray gathered;

    // Today, for the header's date of last update, and when it was looked up.
    QDate today;
    std::time_t todayCheckedAt = 0;

    // Cursor.
    qint64 position = -1;  // record under the cursor, -1 for none
    bool eof = true;
    QByteArray current;  // its bytes, or the record being appended
    QByteArray blank;    // a blank record, the start of every Append
    bool appending = false;
    bool modified = false;

    std::optional<qint64> liveCount;
    QHash<int, LocateIndex> locateIndex;  // field -> value as text -> first live record

    QByteArray BlankRecord() const {
        QByteArray record(layout.recordLength, ' ');
        for (const FieldLayout& f : layout.fields) WriteBlank(f.info, record.data() + f.offset);
        record[0] = dbf::kLiveFlag;
        return record;
    }

    // The record's bytes when a kept block holds it, else null.
    const char* Cached(qint64 index) const {
        for (qsizetype b = blocks.size() - 1; b >= 0; --b) {
            const Block& block = blocks[b];
            if (index >= block.start && index < block.start + block.count)
                return block.bytes.constData() + (index - block.start) * layout.recordLength;
        }
        return nullptr;
    }

    // The record's bytes, its block read when no kept block holds it.
    const char* Record(qint64 index) {
        if (const char* cached = Cached(index)) return cached;
        const qint64 perBlock = qMax<qint64>(1, kBlockBytes / layout.recordLength);
        Block block;
        block.start = index - index % perBlock;
        block.count = qMin(perBlock, InFile() - block.start);  // never the gathered records
        block.bytes.resize(block.count * layout.recordLength);
        ReadFromFile(block.start, block.count, block.bytes.data());
        // A block read before records were appended to it is replaced.
        blocks.removeIf([&](const Block& old) { return old.start == block.start; });
        if (blocks.size() >= kCachedBlocks) blocks.removeFirst();
        blocks.append(std::move(block));
        return blocks.last().bytes.constData() + (index - blocks.last().start) * layout.recordLength;
    }

    // Reads records [first, first + count) of the file into `into`.
    // Every record starts with its flag, live or deleted. Any other first
    // byte means that the header puts the records where they are not (a
    // header or record length that lies by a few bytes): their fields would
    // be read shifted, so the table is refused.
    void ReadFromFile(qint64 first, qint64 count, char* into) {
        const qint64 bytes = count * layout.recordLength;
        if (file.ReadAt(layout.headerLength + first * layout.recordLength, into, bytes) < bytes)
            throw messages::TableShrunk(displayPath);
        for (qint64 i = 0; i < count; ++i) {
            const char flag = into[i * layout.recordLength];
            if (flag != dbf::kLiveFlag && flag != dbf::kDeletedFlag)
                throw messages::RecordWithoutFlag(displayPath, first + i + 1);
        }
    }

    // Records in the file; the rest of recordCount are gathered.
    qint64 InFile() const { return layout.recordCount - gathered.size() / layout.recordLength; }

    // A posted record's bytes, in the file or gathered.
    const char* Posted(qint64 index) {
        const qint64 inFile = InFile();
        if (index >= inFile) return gathered.constData() + (index - inFile) * layout.recordLength;
        return Record(index);
    }

    QDate Today() {
        const std::time_t now = std::time(nullptr);
        if (today.isNull() || now < todayCheckedAt || now - todayCheckedAt >= kDateRefreshSeconds) {
            today = QDate::currentDate();
            todayCheckedAt = now;
        }
        return today;
    }

    // The first live record from index on, or -1.
    qint64 NextLive(qint64 index) {
        for (; index < layout.recordCount; ++index)
            if (Record(index)[0] != dbf::kDeletedFlag) return index;
        return -1;
    }

    void MoveTo(qint64 index) {
        const char* record = Record(index);
        current.resize(layout.recordLength);  // its buffer kept when not shared
        std::memcpy(current.data(), record, size_t(layout.recordLength));
        position = index;
        eof = false;
    }

    // MoveTo for a jump (Locate): a record outside the kept blocks is read
    // alone, so jumping about a large table reads no whole blocks.
    void JumpTo(qint64 index) {
        if (Cached(index)) return MoveTo(index);
        current.resize(layout.recordLength);
        ReadFromFile(index, 1, current.data());
        position = index;
        eof = false;
    }

    FieldValue Read(int field, const char* record, qint64 index) const {
        const FieldLayout& f = layout.fields[field];
        FieldValue value = ReadField(f.info, record + f.offset, context);
        if (value.kind == FieldValue::Kind::Bad)
            throw messages::BadStoredValue(f.info.name, index + 1, displayPath, f.info.type, value.text);
        return value;
    }

    const LocateIndex& IndexOf(int field) {
        auto found = locateIndex.find(field);
        if (found != locateIndex.end()) return *found;
        LocateIndex index;
        for (qint64 i = 0; i < layout.recordCount; ++i) {
            const char* record = Record(i);
            if (record[0] == dbf::kDeletedFlag) continue;
            index.Insert(ValueAsString(Read(field, record, i), context), i);
        }
        return *locateIndex.insert(field, std::move(index));
    }
};

// ---- Field -----------------------------------------------------------------

QString StoredCharacterText(const QString& text, int width) {
    if (width <= 0) return QString();
    FieldInfo field;
    field.type = 'C';
    field.width = width;
    CodecContext context;
    context.codePage = &CodePage::ForNumber(1252);  // the code page of the tables created here
    FieldInput input;
    input.text = text;
    QByteArray bytes(width, ' ');
    WriteField(field, input, bytes.data(), context);
    return CharacterText(field, bytes.constData(), context);
}

Field::Field(Table& table, int index)
    : table_(&table), index_(index), name_(table.impl_->layout.fields[index].info.name) {}

const QString& Field::name() const { return name_; }

FieldValue Table::ReadCurrent(int index, const QString& name) const {
    Impl& t = Opened();
    return t.Read(Resolve(index, name), t.current.constData(), t.position);
}

QString Field::AsString() const {
    const Table::Impl& t = table_->Opened();  // raises when closed
    const FieldLayout& f = t.layout.fields[table_->Resolve(index_, name_)];
    if (f.info.type == 'C') return CharacterText(f.info, t.current.constData() + f.offset, t.context);
    const FieldValue value = table_->ReadCurrent(index_, name_);
    return ValueAsString(value, table_->impl_->context);
}

qint32 Field::AsInteger() const {
    const FieldValue value = table_->ReadCurrent(index_, name_);
    return ValueAsInteger(value, name_, table_->impl_->context);
}

double Field::AsFloat() const {
    const FieldValue value = table_->ReadCurrent(index_, name_);
    return ValueAsFloat(value, name_, table_->impl_->context);
}

bool Field::AsBoolean() const {
    const FieldValue value = table_->ReadCurrent(index_, name_);
    return ValueAsBoolean(value, name_, table_->impl_->context);
}

void Field::SetAsString(const QString& value) {
    table_->Set(table_->Resolve(index_, name_), FieldInput{FieldInput::Kind::Text, value, 0, false});
}

void Field::SetAsBoolean(bool value) {
    table_->Set(table_->Resolve(index_, name_), FieldInput{FieldInput::Kind::Boolean, {}, 0, value});
}

void Field::SetAsFloat(double value) {
    table_->Set(table_->Resolve(index_, name_), FieldInput{FieldInput::Kind::Number, {}, value, false});
}

// ---- Table -----------------------------------------------------------------

Table::Table(QString directory, QString name) : directory_(std::move(directory)), name_(BareName(std::move(name))) {}

Table::~Table() {
    try {
        Close();
    } catch (const Error&) {
        // Records gathered by write-behind that cannot be written are lost
        // here; an explicit Close raises instead.
    }
}

QString Table::filePath() const {
    if (impl_) return impl_->file.path();
    return LocateFile(directory_, name_);
}

bool Table::IsHeldElsewhere(const QString& directory, const QString& name) {
    const QString path = LocateFile(directory, BareName(name));
    return QFileInfo(path).isFile() && LockedFile::IsLockedElsewhere(path);
}

Table::Impl& Table::Opened() const {
    if (!impl_) throw messages::TableNotOpen(name_);
    return *impl_;
}

void Table::CreateTable(const QList<FieldSpec>& fields) {
    const QString path = LocateFile(directory_, name_);
    auto refuse = [&](const QString& reason) { throw messages::TableShapeRefused(name_, path, reason); };
    auto fail = [&](const QString& reason) { throw messages::TableNotCreated(name_, path, reason); };
    if (impl_) refuse(QStringLiteral("la tabla está abierta"));
    if (fields.isEmpty()) refuse(QStringLiteral("no tiene campos"));
    if (fields.size() > dbf::kMaxFieldsWritten)
        refuse(QStringLiteral("tiene %1 campos y el máximo es %2").arg(fields.size()).arg(dbf::kMaxFieldsWritten));

    QList<FieldInfo> infos;
    QSet<QString> names;
    int recordLength = 1;
    for (const FieldSpec& wanted : fields) {
        if (!IsValidFieldName(wanted.name))
            fail(QStringLiteral("el nombre de campo '%1' no es válido (de 1 a %2 letras A-Z, cifras o _, empezando "
                                "por letra)")
                     .arg(wanted.name)
                     .arg(dbf::kMaxFieldNameLength));
        FieldInfo info;
        info.name = wanted.name.toUpper();
        if (names.contains(info.name)) fail(QStringLiteral("el campo '%1' está repetido").arg(info.name));
        names.insert(info.name);
        switch (wanted.kind) {
        case FieldKind::Character:
            if (wanted.width < 1 || wanted.width > dbf::kMaxCharacterWidth)
                fail(QStringLiteral("el campo de texto '%1' tiene ancho %2 (debe estar entre 1 y %3)")
                         .arg(info.name)
                         .arg(wanted.width)
                         .arg(dbf::kMaxCharacterWidth));
            info.type = 'C';
            info.width = wanted.width;
            break;
        case FieldKind::Logical:
            info.type = 'L';
            info.width = 1;
            break;
        case FieldKind::Float:
            info.type = 'N';
            info.width = dbf::kFloatWidth;
            info.decimals = dbf::kFloatDecimals;
            break;
        case FieldKind::Integer:
            info.type = 'N';
            info.width = dbf::kIntegerWidth;
            break;
        }
        recordLength += info.width;
        infos.append(info);
    }
    if (recordLength > dbf::kMaxRecordLength)
        fail(QStringLiteral("los registros ocuparían %1 bytes y el máximo es %2")
                 .arg(recordLength)
                 .arg(dbf::kMaxRecordLength));

    LockedFile file;
    switch (file.Open(path, FileAccess::ReadWrite, LockMode::Exclusive, /*create=*/true)) {
    case LockedFile::OpenResult::Opened: break;
    case LockedFile::OpenResult::InUse: throw messages::TableInUse(name_, path);
    default: fail(file.errorText());
    }
    QByteArray bytes = BuildHeader(infos, QDate::currentDate());
    bytes.append(dbf::kEndOfFile);
    file.WriteAt(0, bytes.constData(), bytes.size());
    file.Resize(bytes.size());
}

void Table::Open(OpenMode mode) {
    if (impl_) return;
    const QString path = LocateFile(directory_, name_);
    auto impl = std::make_unique<Impl>();
    const LockMode lock = mode == OpenMode::Exclusive ? LockMode::Exclusive : LockMode::Shared;
    LockedFile::OpenResult result = impl->file.Open(path, FileAccess::ReadWrite, lock);
    if (result == LockedFile::OpenResult::Denied) result = impl->file.Open(path, FileAccess::ReadOnly, lock);
    switch (result) {
    case LockedFile::OpenResult::Opened: break;
    case LockedFile::OpenResult::NotFound: throw messages::NoSuchTable(name_, path);
    case LockedFile::OpenResult::InUse: throw messages::TableInUse(name_, path);
    default: throw messages::TableNotOpened(name_, path, impl->file.errorText());
    }
    impl->displayPath = Native(path);
    impl->layout = ReadLayout(impl->file, impl->displayPath);
    impl->context.codePage = &CodePage::ForNumber(impl->layout.codePage);
    impl->context.decimalPoint = QLocale::system().decimalPoint();
    impl->context.table = name_;
    for (int i = 0; i < impl->layout.fields.size(); ++i) {
        const QString key = impl->layout.fields[i].info.name.toUpper();
        if (!impl->fieldIndex.contains(key)) impl->fieldIndex.insert(key, i);
    }
    impl->blank = impl->BlankRecord();
    impl->current = impl->blank;
    impl_ = std::move(impl);
    try {
        First();
    } catch (const Error&) {
        impl_.reset();  // a table whose records cannot be read is not left open
        throw;
    }
}

void Table::Close() {
    if (!impl_) return;
    // A record appended and not posted is dropped; the records gathered by
    // write-behind are written first.
    try {
        WriteGathered();
    } catch (const Error&) {
        impl_.reset();
        throw;
    }
    impl_.reset();
}

bool Table::IsOpen() const { return impl_ != nullptr; }

QList<FieldInfo> Table::Fields() const {
    QList<FieldInfo> infos;
    for (const FieldLayout& f : Opened().layout.fields) infos.append(f.info);
    return infos;
}

int Table::LiveRecordCount() const {
    Impl& t = Opened();
    if (!t.liveCount) {
        const qint64 inFile = t.InFile();
        qint64 live = t.layout.recordCount - inFile;  // gathered records are live
        for (qint64 i = 0; i < inFile; ++i)
            if (t.Record(i)[0] != dbf::kDeletedFlag) ++live;
        t.liveCount = live;
    }
    return static_cast<int>(*t.liveCount);
}

void Table::Settle() {
    Impl& t = Opened();
    if (!t.appending) return;
    if (t.modified) {
        Post();
    } else {
        t.appending = false;  // nothing set: nothing to store
        if (t.position >= 0)
            t.current = QByteArray(t.Posted(t.position), t.layout.recordLength);
        else
            t.current = t.BlankRecord();
    }
}

void Table::First() {
    Settle();
    WriteGathered();  // the cursor reads the file
    Impl& t = *impl_;
    const qint64 first = t.NextLive(0);
    if (first < 0) {
        t.position = -1;
        t.current = t.BlankRecord();
        t.eof = true;
    } else {
        t.MoveTo(first);
    }
}

void Table::Next() {
    Settle();
    WriteGathered();
    Impl& t = *impl_;
    if (t.eof) return;
    const qint64 next = t.NextLive(t.position + 1);
    if (next < 0)
        t.eof = true;  // the cursor stays on the last record
    else
        t.MoveTo(next);
}

bool Table::Eof() const { return Opened().eof; }

qint64 Table::RecordNumber() const { return Opened().position + 1; }

bool Table::Locate(const QString& field, const QString& key) {
    const int index = FieldIndex(field);
    Settle();
    WriteGathered();
    Impl& t = *impl_;
    const std::optional<qint64> found = t.IndexOf(index).Find(key);
    if (!found) return false;
    t.JumpTo(*found);
    return true;
}

void Table::Append() {
    Settle();
    Impl& t = *impl_;
    if (t.file.access() != FileAccess::ReadWrite) throw messages::TableReadOnly(name_, t.displayPath);
    t.current = t.blank;
    t.appending = true;
    t.modified = false;
}

void Table::Post() {
    Impl& t = Opened();
    if (!t.appending) return;
    if (t.layout.recordCount >= qint64(0xFFFFFFFF)) throw messages::TableFull(name_, t.displayPath);
    if (t.writeBehind) {
        if (t.gathered.isEmpty()) t.gathered.reserve(kBlockBytes + t.layout.recordLength);
        t.gathered.append(t.current);
        ++t.layout.recordCount;
    } else {
        WriteRecords(t.current);
    }
    t.appending = false;
    t.modified = false;
    t.position = t.layout.recordCount - 1;
    t.eof = false;
    if (t.liveCount) ++*t.liveCount;
    t.locateIndex.clear();
    if (t.gathered.size() >= kBlockBytes) WriteGathered();
}

void Table::WriteRecords(const QByteArray& records) {
    Impl& t = *impl_;
    const qint64 end = t.layout.headerLength + t.layout.recordCount * t.layout.recordLength;
    QByteArray bytes = records;
    bytes.append(dbf::kEndOfFile);
    try {
        t.file.WriteAt(end, bytes.constData(), bytes.size());
    } catch (const Error&) {
        // Leave the table as it was before these records.
        try {
            t.file.Resize(end);
            t.file.WriteAt(end, &dbf::kEndOfFile, 1);
        } catch (const Error&) {}
        throw;
    }
    const quint32 count = static_cast<quint32>(t.layout.recordCount + records.size() / t.layout.recordLength);
    const QByteArray update = UpdateBytes(t.Today(), count);
    t.file.WriteAt(dbf::kUpdateYear, update.constData(), update.size());
    t.layout.recordCount = count;
    t.layout.headerRecordCount = count;
}

void Table::WriteGathered() {
    Impl& t = *impl_;
    if (t.gathered.isEmpty()) return;
    QByteArray records;
    records.swap(t.gathered);
    const qint64 written = t.layout.recordCount - records.size() / t.layout.recordLength;
    t.layout.recordCount = written;
    try {
        WriteRecords(records);
    } catch (const Error&) {
        // The records gathered are taken back: the cursor goes to the last
        // record the file holds.
        if (t.liveCount) *t.liveCount -= records.size() / t.layout.recordLength;
        t.position = -1;
        t.eof = true;
        t.current = t.BlankRecord();
        throw;
    }
}

void Table::SetWriteBehind(bool on) {
    Impl& t = Opened();
    if (!on) WriteGathered();
    t.writeBehind = on;
}

int Table::FieldIndex(const QString& field) const {
    const Impl& t = Opened();
    auto found = t.fieldIndex.constFind(field);  // names are mostly given as stored
    if (found == t.fieldIndex.constEnd()) found = t.fieldIndex.constFind(field.toUpper());
    if (found == t.fieldIndex.constEnd()) throw messages::FieldNotFound(field);
    return *found;
}

Field Table::FieldByName(const QString& field) { return Field(*this, FieldIndex(field)); }

int Table::Resolve(int index, const QString& name) const {
    const Impl& t = Opened();
    if (index < t.layout.fields.size() && t.layout.fields[index].info.name == name) return index;
    return FieldIndex(name);  // the table was opened again since FieldByName
}

void Table::Set(int field, const FieldInput& input) {
    Impl& t = Opened();
    const FieldLayout& f = t.layout.fields[field];
    if (!t.appending) throw messages::FieldSetWithoutRecord(f.info.name, name_);
    WriteField(f.info, input, t.current.data() + f.offset, t.context);
    t.modified = true;
}

}  // namespace puente
