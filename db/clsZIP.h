#pragma once
// A ZIP archive as the program uses it: list the entries of an archive with their details, select
// entries and extract them into a folder, create a new archive and add files to it. Every failure
// (missing file, damaged or foreign file, a bad entry) sets LastResult != 0 with a German text in
// LastResultText; nothing throws. The archive is held open only inside a call.

#include <cstdint>
#include <string>
#include <vector>

namespace pf {

// The date and time of an entry as the ZIP directory stores it (MS-DOS format, local time).
struct DosDateTime
{
    std::uint16_t Date = 0; // bits 15-9 year - 1980, 8-5 month, 4-0 day
    std::uint16_t Time = 0; // bits 15-11 hour, 10-5 minute, 4-0 seconds / 2
};

// "dd.mm.yyyy hh:mm:ss"; "" for a zero date.
std::string DosDateTimeText(DosDateTime value);

struct ZipEntryInfo
{
    std::string FullName; // as stored, UTF-8, "/" between folders
    std::string Name;     // the part after the last "/"
    std::string Folder;   // the part before it, "" at the top
    DosDateTime Date;
    std::uint64_t Size = 0;
    std::uint64_t SizeCompressed = 0;
    int Ratio = 0; // percent saved by compression, 0..100
    std::uint32_t CRC = 0;
    std::string CompressionType; // "Stored", "Deflated", "BZip2", ...
    bool IsFolder = false;       // a folder entry (name ends in "/")
    bool Selected = false;
};

class clsZIP
{
public:
    // Own error codes; libzip's (positive ZIP_ER_* numbers) pass through unchanged.
    static constexpr long kNoArchive = -1;     // no archive loaded or created
    static constexpr long kBadIndex = -2;      // entry number out of range
    static constexpr long kUnsafeName = -3;    // entry would land outside the target folder
    static constexpr long kWriteFailed = -4;   // an extracted file could not be written
    static constexpr long kNothingToAdd = -5;  // Add without AddFile
    static constexpr long kSourceMissing = -6; // a file given to AddFile does not exist

    clsZIP() = default;
    ~clsZIP() = default;

    // 0 after a successful call, else the error of the last call.
    long LastResult() const { return m_lastResult; }
    std::string LastResultText() const { return m_lastResultText; }
    // The loaded archive's path ("" when none).
    const std::string& ArchivePath() const { return m_path; }

    // Every detail of entry index (0-based, archive order); throws nothing, a bad index gives {}.
    ZipEntryInfo FileInfo(int index) const;

    // Reads the directory of an archive; false (with LastResult) when it is missing, damaged or
    // no ZIP archive. Clears any selection.
    bool LoadZIPFile(const std::string& path);

    std::string ZIPFilename(int index) const { return FileInfo(index).Name; }
    std::string ZIPFileFolder(int index) const { return FileInfo(index).Folder; }
    DosDateTime ZIPFiledate(int index) const { return FileInfo(index).Date; }
    std::uint64_t ZIPFilesize(int index) const { return FileInfo(index).Size; }
    std::uint64_t ZIPFilesizeCompressed(int index) const { return FileInfo(index).SizeCompressed; }
    int ZIPFileRatio(int index) const { return FileInfo(index).Ratio; }
    std::uint32_t ZIPFileCRC(int index) const { return FileInfo(index).CRC; }
    std::string ZIPFilecompressionType(int index) const { return FileInfo(index).CompressionType; }
    int ZIPFilecount() const { return static_cast<int>(m_entries.size()); }

    // Extracts the selected entries into folder (created when missing). With keepFolders the
    // entries' folders are recreated below it, otherwise every file lands in folder itself.
    // Existing files are replaced; a file whose content fails its check (CRC) is removed again.
    // Stops at the first entry that fails; with failures, notes why each failing entry failed and
    // goes on with the next (false when any failed).
    bool Expand(const std::string& folder, bool keepFolders = true, std::vector<std::string>* failures = nullptr);
    // The path entry index was extracted to by the last Expand ("" when it was not).
    std::string ExpandedPath(int index) const;

    // Selects or deselects one entry; false for a bad index.
    bool ZIPSelect(int index, bool selected = true);
    bool IsSelected(int index) const;
    void ZIPSelectAll(bool selected);
    // Selects the entry whose full name, or else whose name without folder, equals name without
    // regard to case (umlauts included); false when there is none.
    bool ZipSelectName(const std::string& name);
    // Index of that entry, or -1.
    int FindEntry(const std::string& name) const;
    int ZIPSelectCount() const;

    // Notes a file for the next Add, stored under nameInArchive (default: the file's name).
    bool AddFile(const std::string& path, const std::string& nameInArchive = {});
    // Writes the noted files into the current archive (the one made by NewZIPFile or loaded),
    // compressed, and reloads its directory.
    bool Add();
    // Removes the selected entries from the current archive.
    bool Del();
    // Starts a new, empty archive at path, replacing a file of that name when Add writes it.
    bool NewZIPFile(const std::string& path);

private:
    void SetResult(long code, const std::string& text);
    void SetOk() { SetResult(0, {}); }
    bool ReadDirectory(const std::string& path);

    struct PendingFile
    {
        std::string Path;
        std::string Name;
    };

    std::string m_path;
    bool m_isNew = false; // NewZIPFile: the file is (re)created by the next Add
    std::vector<ZipEntryInfo> m_entries;
    std::vector<std::string> m_expanded;
    std::vector<PendingFile> m_pending;
    long m_lastResult = 0;
    std::string m_lastResultText;
};

// The German text for an error code of libzip.
std::string ZipErrorText(int zipErrorCode);

} // namespace pf
