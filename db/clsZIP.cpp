#include "db/clsZIP.h"

#include "core/Utf8.h"
#include "db/DbError.h"

#include <zip.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>

namespace pf {

namespace {

namespace fs = std::filesystem;

// An archive opened for reading is discarded (nothing to write); one opened for writing is
// committed explicitly by zip_close, and discarded here only when that never happened.
struct ArchiveCloser
{
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ArchiveHandle = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser
{
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using EntryHandle = std::unique_ptr<zip_file_t, EntryCloser>;

struct SourceFree
{
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using SourceHandle = std::unique_ptr<zip_source_t, SourceFree>;

std::string MethodName(std::int32_t method)
{
    switch (method) {
    case ZIP_CM_STORE:
        return "Stored";
    case ZIP_CM_SHRINK:
        return "Shrunk";
    case ZIP_CM_IMPLODE:
        return "Imploded";
    case ZIP_CM_DEFLATE:
        return "Deflated";
    case ZIP_CM_DEFLATE64:
        return "Deflate64";
    case ZIP_CM_BZIP2:
        return "BZip2";
    case ZIP_CM_LZMA:
        return "LZMA";
    case ZIP_CM_XZ:
        return "XZ";
    default:
        return "Methode " + std::to_string(method);
    }
}

DosDateTime ToDos(std::time_t when)
{
    std::tm local{};
    if (!localtime_r(&when, &local) || local.tm_year < 80)
        return {};
    DosDateTime dos;
    dos.Date =
        static_cast<std::uint16_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    dos.Time = static_cast<std::uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
    return dos;
}

// True when every part of the entry's name stays below the target folder.
bool IsSafeName(const std::string& name)
{
    if (name.empty() || name.front() == '/' || name.front() == '\\')
        return false;
    const fs::path path(name);
    for (const auto& part : path) {
        if (part == "..")
            return false;
    }
    return name.find(':') == std::string::npos;
}

std::string OpenErrorText(int code, const std::string& path)
{
    std::string text = ZipErrorText(code);
    return "\"" + path + "\": " + text;
}

// Extracts entry i of the open archive to target, through a file beside it: a damaged entry must
// not leave half a file, nor destroy a file of that name that was there before. 0, or the error
// with its text.
long ExtractEntry(zip_t* archive, std::size_t i, const std::string& fullName, const fs::path& target,
                  std::string& failureText)
{
    EntryHandle source(zip_fopen_index(archive, i, 0));
    if (!source) {
        const int code = zip_error_code_zip(zip_get_error(archive));
        failureText = "\"" + fullName + "\": " + ZipErrorText(code);
        return code;
    }
    const fs::path partial = target.string() + ".part";
    long failure = 0;
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out) {
            failure = clsZIP::kWriteFailed;
            failureText = "Die Datei \"" + target.string() + "\" kann nicht geschrieben werden.";
        }
        std::vector<char> buffer(1 << 16);
        while (failure == 0) {
            const zip_int64_t got = zip_fread(source.get(), buffer.data(), buffer.size());
            if (got < 0) {
                const int code = zip_error_code_zip(zip_file_get_error(source.get()));
                failure = code;
                failureText = "\"" + fullName + "\": " + ZipErrorText(code);
                break;
            }
            if (got == 0)
                break;
            out.write(buffer.data(), static_cast<std::streamsize>(got));
            if (!out) {
                failure = clsZIP::kWriteFailed;
                failureText = "Die Datei \"" + target.string() + "\" kann nicht geschrieben werden.";
            }
        }
    }
    std::error_code ec;
    if (failure == 0) {
        fs::rename(partial, target, ec);
        if (ec) {
            failure = clsZIP::kWriteFailed;
            failureText =
                "Die Datei \"" + target.string() + "\" kann nicht geschrieben werden: " + SystemErrorReason(ec);
        }
    }
    if (failure != 0)
        fs::remove(partial, ec);
    return failure;
}

} // namespace

std::string ZipErrorText(int zipErrorCode)
{
    switch (zipErrorCode) {
    case ZIP_ER_OK:
        return "";
    case ZIP_ER_NOENT:
    case ZIP_ER_OPEN:
        return "Die Datei kann nicht geöffnet werden oder ist nicht vorhanden.";
    case ZIP_ER_NOZIP:
        return "Die Datei ist kein ZIP-Archiv oder sie ist unvollständig.";
    case ZIP_ER_INCONS:
        return "Das ZIP-Archiv ist beschädigt (das Inhaltsverzeichnis passt nicht zum Inhalt).";
    case ZIP_ER_CRC:
        return "Die Prüfsumme (CRC) eines Eintrags stimmt nicht: das ZIP-Archiv ist beschädigt.";
    case ZIP_ER_COMPRESSED_DATA:
    case ZIP_ER_ZLIB:
        return "Die gepackten Daten eines Eintrags sind beschädigt.";
    case ZIP_ER_EOF:
        return "Das ZIP-Archiv endet vorzeitig: es ist unvollständig.";
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
        return "Das ZIP-Archiv kann nicht gelesen werden.";
    case ZIP_ER_WRITE:
    case ZIP_ER_CLOSE:
    case ZIP_ER_RENAME:
    case ZIP_ER_TMPOPEN:
        return "Das ZIP-Archiv kann nicht geschrieben werden.";
    case ZIP_ER_MEMORY:
        return "Für das ZIP-Archiv reicht der Speicher nicht.";
    case ZIP_ER_COMPNOTSUPP:
        return "Die Packmethode eines Eintrags wird nicht unterstützt.";
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
        return "Verschlüsselte Einträge werden nicht unterstützt.";
    case ZIP_ER_RDONLY:
        return "Das ZIP-Archiv ist schreibgeschützt.";
    case ZIP_ER_EXISTS:
        return "Ein Eintrag dieses Namens ist bereits vorhanden.";
    default: {
        zip_error_t error;
        zip_error_init_with_code(&error, zipErrorCode);
        std::string text = std::string("ZIP-Fehler: ") + zip_error_strerror(&error);
        zip_error_fini(&error);
        return text;
    }
    }
}

std::string DosDateTimeText(DosDateTime value)
{
    if (value.Date == 0)
        return "";
    char text[32];
    std::snprintf(text, sizeof text, "%02u.%02u.%04u %02u:%02u:%02u", value.Date & 0x1Fu,
                  (value.Date >> 5) & 0x0Fu, ((value.Date >> 9) & 0x7Fu) + 1980u, (value.Time >> 11) & 0x1Fu,
                  (value.Time >> 5) & 0x3Fu, (value.Time & 0x1Fu) * 2u);
    return text;
}

void clsZIP::SetResult(long code, const std::string& text)
{
    m_lastResult = code;
    m_lastResultText = text;
}

ZipEntryInfo clsZIP::FileInfo(int index) const
{
    if (index < 0 || index >= ZIPFilecount())
        return {};
    return m_entries[static_cast<std::size_t>(index)];
}

bool clsZIP::LoadZIPFile(const std::string& path)
{
    m_path = path;
    m_isNew = false;
    m_pending.clear();
    return ReadDirectory(path);
}

bool clsZIP::ReadDirectory(const std::string& path)
{
    m_entries.clear();
    m_expanded.clear();
    int errorCode = 0;
    ArchiveHandle archive(zip_open(path.c_str(), ZIP_RDONLY, &errorCode));
    if (!archive) {
        SetResult(errorCode, OpenErrorText(errorCode, path));
        return false;
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(i), 0, &stat) != 0) {
            const int code = zip_error_code_zip(zip_get_error(archive.get()));
            SetResult(code, OpenErrorText(code, path));
            m_entries.clear();
            return false;
        }
        ZipEntryInfo entry;
        entry.FullName = (stat.valid & ZIP_STAT_NAME) ? stat.name : "";
        std::string name = entry.FullName;
        entry.IsFolder = !name.empty() && name.back() == '/';
        if (entry.IsFolder)
            name.pop_back();
        const auto slash = name.rfind('/');
        entry.Name = slash == std::string::npos ? name : name.substr(slash + 1);
        entry.Folder = slash == std::string::npos ? "" : name.substr(0, slash);
        if (stat.valid & ZIP_STAT_MTIME)
            entry.Date = ToDos(stat.mtime);
        entry.Size = (stat.valid & ZIP_STAT_SIZE) ? stat.size : 0;
        entry.SizeCompressed = (stat.valid & ZIP_STAT_COMP_SIZE) ? stat.comp_size : 0;
        if (entry.Size > 0 && entry.SizeCompressed < entry.Size)
            entry.Ratio = static_cast<int>(100 - (entry.SizeCompressed * 100 + entry.Size / 2) / entry.Size);
        entry.CRC = (stat.valid & ZIP_STAT_CRC) ? stat.crc : 0;
        entry.CompressionType =
            MethodName((stat.valid & ZIP_STAT_COMP_METHOD) ? stat.comp_method : ZIP_CM_STORE);
        m_entries.push_back(std::move(entry));
    }
    m_expanded.assign(m_entries.size(), std::string());
    SetOk();
    return true;
}

bool clsZIP::Expand(const std::string& folder, bool keepFolders, std::vector<std::string>* failures)
{
    m_expanded.assign(m_entries.size(), std::string());
    if (m_path.empty() || m_isNew) {
        SetResult(kNoArchive, "Es ist kein ZIP-Archiv geladen.");
        return false;
    }
    int errorCode = 0;
    ArchiveHandle archive(zip_open(m_path.c_str(), ZIP_RDONLY, &errorCode));
    if (!archive) {
        SetResult(errorCode, OpenErrorText(errorCode, m_path));
        return false;
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        SetResult(kWriteFailed,
                  "Der Ordner \"" + folder + "\" kann nicht angelegt werden: " + SystemErrorReason(ec));
        return false;
    }
    // Records an entry that failed; true when that ends the run (no list of failures to go on with).
    bool failed = false;
    auto fail = [&](long code, const std::string& text) {
        SetResult(code, text);
        failed = true;
        if (failures)
            failures->push_back(text);
        return failures == nullptr;
    };
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const ZipEntryInfo& entry = m_entries[i];
        if (!entry.Selected)
            continue;
        if (!IsSafeName(entry.FullName)) {
            if (fail(kUnsafeName, "Der Eintrag \"" + entry.FullName +
                                      "\" würde außerhalb des Zielordners landen und wird nicht entpackt."))
                return false;
            continue;
        }
        const fs::path target = keepFolders && !entry.Folder.empty()
                                    ? fs::path(folder) / entry.Folder / entry.Name
                                    : fs::path(folder) / entry.Name;
        if (entry.IsFolder) {
            if (keepFolders)
                fs::create_directories(target, ec);
            continue;
        }
        fs::create_directories(target.parent_path(), ec);
        std::string failureText;
        if (const long failure = ExtractEntry(archive.get(), i, entry.FullName, target, failureText)) {
            if (fail(failure, failureText))
                return false;
            continue;
        }
        m_expanded[i] = target.string();
    }
    if (failed)
        return false;
    SetOk();
    return true;
}

std::string clsZIP::ExpandedPath(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_expanded.size())
        return {};
    return m_expanded[static_cast<std::size_t>(index)];
}

bool clsZIP::ZIPSelect(int index, bool selected)
{
    if (index < 0 || index >= ZIPFilecount()) {
        SetResult(kBadIndex, "Das ZIP-Archiv hat keinen Eintrag Nummer " + std::to_string(index + 1) + ".");
        return false;
    }
    m_entries[static_cast<std::size_t>(index)].Selected = selected;
    SetOk();
    return true;
}

bool clsZIP::IsSelected(int index) const
{
    return index >= 0 && index < ZIPFilecount() && m_entries[static_cast<std::size_t>(index)].Selected;
}

void clsZIP::ZIPSelectAll(bool selected)
{
    for (auto& entry : m_entries)
        entry.Selected = selected && !entry.IsFolder;
}

int clsZIP::FindEntry(const std::string& name) const
{
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (EqualsNoCase(m_entries[i].FullName, name))
            return static_cast<int>(i);
    }
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (!m_entries[i].IsFolder && EqualsNoCase(m_entries[i].Name, name))
            return static_cast<int>(i);
    }
    return -1;
}

bool clsZIP::ZipSelectName(const std::string& name)
{
    const int index = FindEntry(name);
    if (index < 0) {
        SetResult(kBadIndex, "Das ZIP-Archiv enthält keinen Eintrag \"" + name + "\".");
        return false;
    }
    return ZIPSelect(index, true);
}

int clsZIP::ZIPSelectCount() const
{
    int count = 0;
    for (const auto& entry : m_entries)
        count += entry.Selected ? 1 : 0;
    return count;
}

bool clsZIP::NewZIPFile(const std::string& path)
{
    m_path = path;
    m_isNew = true;
    m_entries.clear();
    m_expanded.clear();
    m_pending.clear();
    SetOk();
    return true;
}

bool clsZIP::AddFile(const std::string& path, const std::string& nameInArchive)
{
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        SetResult(kSourceMissing, "Die Datei \"" + path + "\" ist nicht vorhanden.");
        return false;
    }
    std::string name = nameInArchive.empty() ? fs::path(path).filename().string() : nameInArchive;
    m_pending.push_back({path, std::move(name)});
    SetOk();
    return true;
}

bool clsZIP::Add()
{
    if (m_path.empty()) {
        SetResult(kNoArchive, "Es ist kein ZIP-Archiv angelegt.");
        return false;
    }
    if (m_pending.empty()) {
        SetResult(kNothingToAdd, "Es wurde keine Datei zum Packen angegeben.");
        return false;
    }
    int errorCode = 0;
    const int flags = m_isNew ? (ZIP_CREATE | ZIP_TRUNCATE) : 0;
    ArchiveHandle archive(zip_open(m_path.c_str(), flags, &errorCode));
    if (!archive) {
        SetResult(errorCode, OpenErrorText(errorCode, m_path));
        return false;
    }
    for (const PendingFile& file : m_pending) {
        SourceHandle source(zip_source_file(archive.get(), file.Path.c_str(), 0, -1));
        if (!source) {
            const int code = zip_error_code_zip(zip_get_error(archive.get()));
            SetResult(code, "\"" + file.Path + "\": " + ZipErrorText(code));
            return false;
        }
        const zip_int64_t index =
            zip_file_add(archive.get(), file.Name.c_str(), source.get(), ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            const int code = zip_error_code_zip(zip_get_error(archive.get()));
            SetResult(code, "\"" + file.Name + "\": " + ZipErrorText(code));
            return false;
        }
        source.release(); // the archive owns it now
        // Level 6 packs a database within one percent of level 9 in less than half the time.
        zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 6);
    }
    if (zip_close(archive.get()) != 0) {
        const int code = zip_error_code_zip(zip_get_error(archive.get()));
        SetResult(code, OpenErrorText(code, m_path));
        return false;
    }
    archive.release(); // zip_close freed it
    m_pending.clear();
    m_isNew = false;
    return ReadDirectory(m_path);
}

bool clsZIP::Del()
{
    if (m_path.empty() || m_isNew) {
        SetResult(kNoArchive, "Es ist kein ZIP-Archiv geladen.");
        return false;
    }
    int errorCode = 0;
    ArchiveHandle archive(zip_open(m_path.c_str(), 0, &errorCode));
    if (!archive) {
        SetResult(errorCode, OpenErrorText(errorCode, m_path));
        return false;
    }
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].Selected && zip_delete(archive.get(), i) != 0) {
            const int code = zip_error_code_zip(zip_get_error(archive.get()));
            SetResult(code, "\"" + m_entries[i].FullName + "\": " + ZipErrorText(code));
            return false;
        }
    }
    if (zip_close(archive.get()) != 0) {
        const int code = zip_error_code_zip(zip_get_error(archive.get()));
        SetResult(code, OpenErrorText(code, m_path));
        return false;
    }
    archive.release();
    // An archive emptied by the deletion is removed by the library; it then has no entries.
    std::error_code ec;
    if (!fs::exists(m_path, ec)) {
        m_entries.clear();
        m_expanded.clear();
        SetOk();
        return true;
    }
    return ReadDirectory(m_path);
}

} // namespace pf
