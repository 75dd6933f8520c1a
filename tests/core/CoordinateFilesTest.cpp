#include "core/CoordinateFiles.h"
#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/TextCodec.h"

#include "AllocationBudget.h"
#include "FakeWindowServices.h"
#include "ScratchMount.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <map>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// Rows of a grid: the cells of each joined by "|". Texts are written with "␣"
// for each blank, as the layouts are documented.
using Rows = std::vector<std::u16string>;

std::u16string S(std::u16string text) {
    std::replace(text.begin(), text.end(), u'␣', u' ');
    return text;
}

// A file's bytes from lines given as UTF-16 text, each ended with CR LF.
std::string FileOf(std::initializer_list<std::u16string> lines) {
    std::string bytes;
    for (const auto& line : lines) bytes += Utf16ToCp1254(S(line)) + "\r\n";
    return bytes;
}

struct Files {
    TempDir dir;
    FakeWindowServices window;
    RecordStore store{window};

    void Fill(GridKind kind, const Rows& rows) {
        std::int32_t row = 0;
        for (const std::u16string& cells : rows) {
            ++row;
            std::size_t start = 0;
            for (std::int32_t col = 0; start <= cells.size(); ++col) {
                const std::size_t bar = std::min(cells.find(u'|', start), cells.size());
                store.Grid(kind).SetCell(col, row, S(cells.substr(start, bar - start)));
                start = bar + 1;
            }
        }
        store.LinesCount(kind) = row;
    }
    void FillXYZ(const Rows& rows) { Fill(GridKind::XYZ, rows); }
    void FillYDE(const Rows& rows) { Fill(GridKind::YDE, rows); }

    Rows Records(GridKind kind) {
        const StringGrid& grid = store.Grid(kind);
        Rows rows;
        for (std::int32_t row = 1; row <= store.LinesCount(kind); ++row) {
            std::u16string cells;
            for (std::int32_t col = 0; col < grid.ColCount(); ++col)
                cells += (col > 0 ? u"|" : u"") + grid.Cell(col, row);
            std::replace(cells.begin(), cells.end(), u' ', u'␣');
            rows.push_back(cells);
        }
        return rows;
    }
    Rows XYZ() { return Records(GridKind::XYZ); }

    Rows LoadXYZ(const std::string& bytes) {
        dir.Write("in.txt", bytes);
        LoadXYZFile(store, dir.Name("in.txt"));
        return Records(GridKind::XYZ);
    }
    Rows LoadYDE(const std::string& bytes) {
        dir.Write("in.txt", bytes);
        LoadYDEFile(store, dir.Name("in.txt"));
        return Records(GridKind::YDE);
    }

    // Everything a reader may change: both grids' cells (hidden rows' too),
    // RowCounts and counts, the selected format and the grid in front.
    Rows State() {
        Rows state;
        for (GridKind kind : {GridKind::XYZ, GridKind::YDE}) {
            const StringGrid& grid = store.Grid(kind);
            state.push_back(DecimalText(grid.RowCount()) + u"/" + DecimalText(store.LinesCount(kind)));
            for (std::int32_t row = 0; row < grid.RowCount() + 4; ++row)
                for (std::int32_t col = 0; col < grid.ColCount(); ++col) state.push_back(grid.Cell(col, row));
        }
        state.push_back(DecimalText(store.comboDataFormat.ItemIndex()) +
                        (store.FrontGrid() == GridKind::XYZ ? u"/XYZ" : u"/YDE"));
        return state;
    }
};

// The error number of the EInOutError that the operation raises; its message
// is the system's text for that number, or our own for what is no file.
int ErrorOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.Message(),
                  error.ErrorCode == EINVAL ? u"Not a regular file" : SystemErrorMessage(error.ErrorCode));
        return error.ErrorCode;
    }
    return 0;
}

// The regular files of a folder with their content, and the names of the rest.
std::map<std::string, std::string> Listing(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        files[name] = entry.is_regular_file() ? TempDir::ReadFile(entry.path()) : "(no file)";
    }
    return files;
}

// The error number of a save that user and group 65534 run in a child
// process: 0 when it succeeds, 255 when the child can't become that user.
int ErrorAsAnotherUser(const std::function<void()>& save) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(::setgroups(0, nullptr) || ::setgid(65534) || ::setuid(65534) ? 255 : ErrorOf(save));
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

// An access list as the system keeps it in an attribute: the owner and user
// 65534 may read and write (so may the mask), the owning group may read.
const std::string kSharedAccessList("\2\0\0\0\1\0\6\0\xff\xff\xff\xff\2\0\6\0\xfe\xff\0\0\4\0\4\0\xff\xff\xff\xff"
                                    "\x10\0\6\0\xff\xff\xff\xff\x20\0\0\0\xff\xff\xff\xff",
                                    44);

bool SetAccessList(const std::filesystem::path& path, const char* name) {
    return ::setxattr(path.c_str(), name, kSharedAccessList.data(), kSharedAccessList.size(), 0) == 0;
}

std::string Attribute(const std::filesystem::path& file, const char* name) {
    std::string value(4096, '\0');
    const ssize_t size = ::getxattr(file.c_str(), name, value.data(), value.size());
    return value.substr(0, static_cast<std::size_t>(std::max<ssize_t>(0, size)));
}

unsigned ModeOf(const std::filesystem::path& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

}  // namespace

TEST(CoordinateFiles, XYZAndYXZLayouts) {
    Files files;
    files.FillXYZ({u"P1|␣␣␣-89.500|␣␣1234.567|␣␣␣100.000", u"Q2|␣␣␣␣1234.567|␣␣␣␣␣-12.345|␣␣␣␣␣100.000"});
    SaveXYZFile(files.store, files.dir.Name("a.xyz"));
    const std::string xyz = FileOf({u"P1␣␣␣␣␣␣␣␣␣␣␣␣␣-89.500␣␣␣␣1234.567␣␣␣␣␣100.000",
                                    u"Q2␣␣␣␣␣␣␣␣␣␣␣␣1234.567␣␣␣␣␣-12.345␣␣␣␣␣100.000"});
    EXPECT_EQ(files.dir.Read("a.xyz"), xyz);
    EXPECT_EQ(files.LoadXYZ(xyz), (Rows{u"P1|-89.500|1234.567|100.000", u"Q2|1234.567|-12.345|100.000"}));

    files.store.LinesCountXYZ = 1;
    files.store.gridXYZData.SetCell(0, 1, u" P1");  // the point number is padded, never trimmed
    SaveYXZFile(files.store, files.dir.Name("a.yxz"));
    const std::string yxz = FileOf({u"␣P1␣␣␣␣␣␣␣␣␣␣␣1234.567␣␣␣␣␣-89.500␣␣␣␣␣100.000"});
    EXPECT_EQ(files.dir.Read("a.yxz"), yxz);
    EXPECT_EQ(files.LoadXYZ(yxz), (Rows{u"P1|1234.567|-89.500|100.000"}));
    EXPECT_EQ(files.LoadYDE(yxz), (Rows{u"P1|1234.567|␣-89.500|␣␣␣␣␣␣␣␣|100.000"}));
}

TEST(CoordinateFiles, YDELayoutBringsPiecesBackRightAligned) {
    Files files;
    files.FillYDE({u"S1|␣␣0.0000|␣␣0.0000|␣␣␣␣0.000|1.600", u"P7|123.4567|␣90.1234|␣␣␣12.345|1.500",
                   u"P8|␣45.0000|090.1234|␣␣␣␣*****|1.550"});
    SaveYDEFile(files.store, files.dir.Name("a.yde"));
    const std::string yde = FileOf({u"␣␣␣S1␣␣␣␣␣␣␣␣␣␣␣0.0000␣␣␣␣0.0000␣␣␣␣0.000␣1.600␣␣",
                                    u"␣␣␣P7␣␣␣␣␣␣␣␣␣123.4567␣␣␣90.1234␣␣␣12.345␣1.500␣␣",
                                    u"␣␣␣P8␣␣␣␣␣␣␣␣␣␣45.0000␣␣090.1234␣␣␣␣*****␣1.550␣␣"});
    EXPECT_EQ(files.dir.Read("a.yde"), yde);
    EXPECT_EQ(files.LoadYDE(yde), (Rows{u"S1|␣␣0.0000|␣␣0.0000|␣␣␣0.000|1.600", u"P7|123.4567|␣90.1234|␣␣12.345|1.500",
                                        u"P8|␣45.0000|090.1234|␣␣␣*****|1.550"}));
}

TEST(CoordinateFiles, LongTextsAndEmptyFields) {
    Files files;
    files.FillXYZ({u"STATION-0001|-1234.567890|567.890|12.345", u"P␣5|10.000|20.000|30.000", u"P6||20.000|30.000"});
    SaveXYZFile(files.store, files.dir.Name("long.xyz"));
    const std::string xyz = FileOf({u"STATION-0001␣-1234.567890␣␣␣␣␣567.890␣␣␣␣␣␣12.345",
                                    u"P␣5␣␣␣␣␣␣␣␣␣␣␣␣␣10.000␣␣␣␣␣␣20.000␣␣␣␣␣␣30.000",
                                    u"P6" + std::u16string(26, u' ') + u"20.000␣␣␣␣␣␣30.000"});
    EXPECT_EQ(files.dir.Read("long.xyz"), xyz);
    EXPECT_EQ(files.LoadXYZ(xyz), (Rows{u"STATION-0001|-1234.567890|567.890|12.345", u"P|5|10.000|20.000␣␣␣␣␣␣30.000",
                                        u"P6|20.000||30.000"}));

    files.FillYDE({u"P9|123.4567||␣␣␣12.345|1.5", u"LONGNAME-1234|1234.56789|␣90.1234|␣␣␣12.345|1.500"});
    SaveYDEFile(files.store, files.dir.Name("long.yde"));
    const std::string yde = FileOf({u"␣␣␣P9␣␣␣␣␣␣␣␣␣123.4567␣␣␣␣␣␣␣␣␣␣␣␣␣12.345␣␣␣1.5␣␣",
                                    u"␣␣␣LONGNAME-1234␣1234.56789␣␣␣90.1234␣␣␣12.345␣1.500␣␣"});
    EXPECT_EQ(files.dir.Read("long.yde"), yde);
    EXPECT_EQ(files.LoadYDE(yde), (Rows{u"P9|123.4567|␣␣12.345|␣␣␣␣␣␣␣␣|␣␣1.5",
                                        u"LONGNAME-1234|1234.56789|␣90.1234|␣␣12.345|1.500"}));
}

// Where a field fills its width and would touch the one before it, one blank
// keeps them apart: every record of non-empty cells without blanks or control
// characters comes back as it was (YXZ with X and Y exchanged).
TEST(CoordinateFiles, FullFieldsStayApartAndComeBack) {
    Files files;
    const Rows records{u"POLIGON1234|4512345.678|512345.6789|1234.5678901", u"ŞEHİR-NOKTA-1|€|-0.5|12345678901234",
                       u"P1|12345678901|123456789012|-123456789012"};
    files.FillXYZ(records);
    SaveXYZFile(files.store, files.dir.Name("a.xyz"));
    EXPECT_EQ(files.dir.Read("a.xyz").substr(0, 50), "POLIGON1234 4512345.678 512345.6789 1234.5678901\r\n");
    LoadXYZFile(files.store, files.dir.Name("a.xyz"));
    EXPECT_EQ(files.XYZ(), records);

    SaveYXZFile(files.store, files.dir.Name("a.yxz"));
    LoadXYZFile(files.store, files.dir.Name("a.yxz"));
    EXPECT_EQ(files.XYZ(), (Rows{u"POLIGON1234|512345.6789|4512345.678|1234.5678901",
                                 u"ŞEHİR-NOKTA-1|-0.5|€|12345678901234", u"P1|123456789012|12345678901|-123456789012"}));
}

TEST(CoordinateFiles, WritersWriteTheCountedRowsOnly) {
    Files files;
    files.dir.Write("old.xyz", "old content");
    files.store.gridXYZData.SetCell(0, 1, u"P1");
    files.store.LinesCountXYZ = -2;
    SaveXYZFile(files.store, files.dir.Name("old.xyz"));
    EXPECT_EQ(files.dir.Read("old.xyz"), "");

    files.store.LinesCountYDE = 2;
    SaveYDEFile(files.store, files.dir.Name("blank.yde"));
    EXPECT_EQ(files.dir.Read("blank.yde"), FileOf({std::u16string(49, u' '), std::u16string(49, u' ')}));

    // Point numbers keep their own blanks; values lose control characters;
    // text goes out in Windows-1254, a character it lacks as "?".
    files.FillXYZ({u"␣Şğ|\t1.5\r|€|中"});
    SaveXYZFile(files.store, files.dir.Name("text.xyz"));
    EXPECT_EQ(files.dir.Read("text.xyz"), std::string(" \xDE\xF0        ") + std::string(8, ' ') + "1.5" +
                                              std::string(11, ' ') + "\x80" + std::string(11, ' ') + "?\r\n");
}

TEST(CoordinateFiles, LineRule) {
    Files files;
    EXPECT_EQ(files.LoadXYZ("a 1 2 3\r\nb 4 5 6\nc 7 8 9"), (Rows{u"a|1|2|3", u"b|4|5|6", u"c|7|8|9"}));
    EXPECT_EQ(files.LoadXYZ("a\r\n\r\n"), (Rows{u"|||a", u"|||"}));
    // A CR without LF is dropped and the line goes on.
    EXPECT_EQ(files.LoadXYZ("P\r1 2\r\r\n"), (Rows{u"P1|||2"}));
    // A last line without a line end is a row, also when it holds only CRs.
    EXPECT_EQ(files.LoadXYZ("a 1\r\n\r\r"), (Rows{u"a|||1", u"|||"}));
    EXPECT_EQ(files.LoadXYZ("\r"), (Rows{u"|||"}));
    // Code 26 ends the file at the start of a line, and is text inside one.
    EXPECT_EQ(files.LoadXYZ("a 1\r\n\x1A" "b 2\r\n"), (Rows{u"a|||1"}));
    EXPECT_EQ(files.LoadXYZ("a\x1A 1"), (Rows{u"a\x1A|||1"}));
    // A byte-order mark is three code page characters of the first piece.
    EXPECT_EQ(files.LoadXYZ("\xEF\xBB\xBFP1 1 2 3"), (Rows{u"ï»¿P1|1|2|3"}));
}

TEST(CoordinateFiles, EmptyFilesGiveNoRecord) {
    Files files;
    files.FillXYZ({u"P1|1|2|3"});
    EXPECT_EQ(files.LoadXYZ(""), Rows{});
    EXPECT_EQ(files.store.LinesCountXYZ, 0);
    EXPECT_EQ(files.store.gridXYZData.Cell(0, 1), u"");
    files.FillYDE({u"S1|1|2|3|4"});
    EXPECT_EQ(files.LoadYDE("\x1A" "S2 1 2 3 4\r\n"), Rows{});
    // A line of blanks in a file is a record all the same.
    EXPECT_EQ(files.LoadYDE(std::string(49, ' ') + "\r\n"), (Rows{u"|␣␣␣␣␣␣␣␣|␣␣␣␣␣␣␣␣|␣␣␣␣␣␣␣␣|␣␣␣␣␣"}));
}

TEST(CoordinateFiles, SplittingRule) {
    Files files;
    EXPECT_EQ(files.LoadXYZ("P1\t5 6"), (Rows{u"P1\t5|||6"}));
    EXPECT_EQ(files.LoadXYZ(" P1 \t 5\t\t6 7 8  9 \t"), (Rows{u"P1|5\t\t6|7|8␣␣9"}));
    EXPECT_EQ(files.LoadYDE("P1 5"), (Rows{u"P1|␣␣␣␣␣␣␣␣|␣␣␣␣␣␣␣␣|␣␣␣␣␣␣␣␣|␣␣␣␣5"}));
    EXPECT_EQ(files.LoadYDE("P1 123456789 2 3 4"), (Rows{u"P1|123456789|␣␣␣␣␣␣␣2|␣␣␣␣␣␣␣3|␣␣␣␣4"}));
}

TEST(CoordinateFiles, ReadersReplaceTheirOwnGridAndSelectTheFormat) {
    Files files;
    files.FillYDE({u"S1|1|2|3|4"});
    files.store.comboDataFormat.SetItemIndex(DataFormatSelector::kYXZ);
    for (std::int32_t row = 1; row <= 4; ++row) files.store.gridXYZData.SetCell(1, row, u"old");

    files.LoadXYZ("a\nb\nc\n");
    EXPECT_EQ(files.store.LinesCountXYZ, 3);
    EXPECT_EQ(files.store.gridXYZData.RowCount(), 5);
    EXPECT_EQ(files.store.gridXYZData.Cell(1, 4), u"");  // cleared, no record
    EXPECT_EQ(files.store.comboDataFormat.ItemIndex(), DataFormatSelector::kXYZ);
    EXPECT_EQ(files.store.FrontGrid(), GridKind::XYZ);
    EXPECT_EQ(files.store.LinesCountYDE, 1);
    EXPECT_EQ(files.store.gridYDEData.Cell(0, 1), u"S1");

    class Observer : public GridObserver {
    public:
        int notices = 0;
        void CellChanged(std::int32_t, std::int32_t) override { ++notices; }
        void RowCountChanged(std::int32_t, std::int32_t) override { ++notices; }
        void GridReset() override { ++notices; }
    } observer;
    files.store.gridYDEData.SetObserver(&observer);
    files.LoadYDE("1\n2\n3\n4\n5\n");
    files.store.gridYDEData.SetObserver(nullptr);
    EXPECT_EQ(observer.notices, 1);  // the view refreshes once
    EXPECT_EQ(files.store.LinesCountYDE, 5);
    EXPECT_EQ(files.store.gridYDEData.RowCount(), 7);
    EXPECT_EQ(files.store.FrontGrid(), GridKind::YDE);
    EXPECT_EQ(files.store.comboDataFormat.ItemIndex(), DataFormatSelector::kYDE);
    EXPECT_EQ(files.store.LinesCountXYZ, 3);
}

TEST(CoordinateFiles, FailuresCarryTheSystemErrorAndLoseNothing) {
    Files files;
    files.FillXYZ({u"P1|1|2|3"});
    files.store.comboDataFormat.SetItemIndex(DataFormatSelector::kYDE);
    files.store.comboDataFormatChange();
    const std::size_t calls = files.window.calls.size();
    const Rows state = files.State();

    // What is no regular file is refused at once, without being opened.
    const std::filesystem::path fifo = files.dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", files.dir.File("zero"));
    EXPECT_EQ(ErrorOf([&] { LoadXYZFile(files.store, files.dir.Name("missing.xyz")); }), ENOENT);
    EXPECT_EQ(ErrorOf([&] { LoadXYZFile(files.store, files.dir.Path().u16string()); }), EISDIR);
    EXPECT_EQ(ErrorOf([&] { LoadXYZFile(files.store, fifo.u16string()); }), EINVAL);
    EXPECT_EQ(ErrorOf([&] { LoadYDEFile(files.store, files.dir.Name("zero")); }), EINVAL);
    EXPECT_EQ(files.State(), state);
    EXPECT_EQ(files.window.calls.size(), calls);

    files.dir.Write("read-only.xyz", "old");
    std::filesystem::permissions(files.dir.File("read-only.xyz"), std::filesystem::perms::owner_read);
    const auto before = Listing(files.dir.Path());
    EXPECT_EQ(ErrorOf([&] { SaveXYZFile(files.store, files.dir.Name("no-such-folder/a.xyz")); }), ENOENT);
    EXPECT_EQ(ErrorOf([&] { SaveXYZFile(files.store, fifo.u16string()); }), EINVAL);
    std::filesystem::create_directory(files.dir.File("folder.xyz"));
    EXPECT_EQ(ErrorOf([&] { SaveXYZFile(files.store, files.dir.Name("folder.xyz")); }), EISDIR);
    if (::geteuid() != 0) {  // root may write any file
        EXPECT_EQ(ErrorOf([&] { SaveXYZFile(files.store, files.dir.Name("read-only.xyz")); }), EACCES);
    }
    auto after = Listing(files.dir.Path());
    after.erase("folder.xyz");
    EXPECT_EQ(after, before);
    EXPECT_EQ(files.State(), state);
}

// A save that can't be completed leaves the old file as it was and nothing
// new beside it: here a folder that can't be written, as a read-only file
// system for root (whom a folder's permissions don't stop), as a folder of
// mode 0555 for others.
TEST(CoordinateFiles, ASaveIntoAReadOnlyFolderKeepsThePreviousFile) {
    Files files;
    files.FillXYZ({u"P1|1|2|3"});
    ScratchMount mount(files.dir.File("ro"), "64k");
    TempDir::WriteFile(mount.Path() / "old.xyz", "old");
    int expected = EROFS;
    if (mount.Mounted()) {
        ASSERT_TRUE(mount.MakeReadOnly());
    } else if (::geteuid() != 0) {
        // A file the user may write there is written in place.
        std::filesystem::permissions(mount.Path() / "old.xyz", std::filesystem::perms(0444));
        std::filesystem::permissions(mount.Path(), std::filesystem::perms(0555));
        expected = EACCES;
    } else {
        GTEST_SKIP() << "no read-only file system could be mounted";
    }
    const auto before = Listing(mount.Path());
    EXPECT_EQ(ErrorOf([&] { SaveXYZFile(files.store, (mount.Path() / "old.xyz").u16string()); }), expected);
    EXPECT_EQ(ErrorOf([&] { SaveYDEFile(files.store, (mount.Path() / "new.yde").u16string()); }), expected);
    EXPECT_EQ(Listing(mount.Path()), before);
    if (!mount.Mounted()) std::filesystem::permissions(mount.Path(), std::filesystem::perms(0755));
}

// Where no new file can be made beside a file the user may write, or put in
// its place, the file itself is written: in a folder of another user's, in a
// sticky folder where the file is another user's (as root, the save runs as
// another user; as anyone else, in a folder of mode 0555), in a folder whose
// name leaves a new file's name no room. A new name there fails as before.
TEST(CoordinateFiles, FilesWhereNoNewFileCanBeMadeAreWrittenInPlace) {
    Files files;
    files.FillXYZ({u"P1|1|2|3"});
    SaveXYZFile(files.store, files.dir.Name("new.xyz"));
    std::filesystem::permissions(files.dir.Path(), std::filesystem::perms(0755));
    std::filesystem::path deep = files.dir.Path();
    while (deep.native().size() < 3850) deep /= std::string(200, 'd');
    deep /= std::string(4089 - deep.native().size(), 'e');  // "deep/a" is as long as a name may be
    const bool root = ::geteuid() == 0;
    struct Case {
        std::filesystem::path folder;
        unsigned mode;
        int newNameError;
    };
    for (const Case& c : {Case{files.dir.File("locked"), root ? 0755u : 0555u, EACCES},
                          Case{files.dir.File("sticky"), 01777u, 0}, Case{deep, 0755u, ENAMETOOLONG}}) {
        if (c.mode == 01777u && !root) continue;  // the user's own file: replaced as anywhere
        SCOPED_TRACE(c.folder.filename().string().substr(0, 10));
        std::filesystem::create_directories(c.folder);
        TempDir::WriteFile(c.folder / "a", std::string(100, 'o'));
        ::chmod((c.folder / "a").c_str(), 0666);
        ::chmod(c.folder.c_str(), c.mode);
        const auto save = [&](const char* name) {
            const std::function<void()> run = [&] { SaveXYZFile(files.store, (c.folder / name).u16string()); };
            return root && c.folder != deep ? ErrorAsAnotherUser(run) : ErrorOf(run);
        };
        EXPECT_EQ(save("a"), 0);
        EXPECT_EQ(save("b"), c.newNameError);
        EXPECT_EQ(TempDir::ReadFile(c.folder / "a"), files.dir.Read("new.xyz"));
        ::chmod(c.folder.c_str(), 0755);
    }
}

// A name that is a symbolic link saves into the file it points to, which
// keeps its permissions; the link stays.
TEST(CoordinateFiles, SavesGoThroughLinksAndKeepThePermissions) {
    Files files;
    files.FillXYZ({u"P1|1|2|3"});
    std::filesystem::create_directory(files.dir.File("data"));
    files.dir.Write("data/real.xyz", "old");
    ::chmod(files.dir.File("data/real.xyz").c_str(), 0640);
    std::filesystem::create_symlink("data/real.xyz", files.dir.File("job.xyz"));
    SaveXYZFile(files.store, files.dir.Name("job.xyz"));
    EXPECT_TRUE(std::filesystem::is_symlink(files.dir.File("job.xyz")));
    EXPECT_EQ(files.dir.Read("data/real.xyz").size(), 48u);
    EXPECT_EQ(Listing(files.dir.File("data")).size(), 1u);
    struct stat status {};
    ::stat(files.dir.File("data/real.xyz").c_str(), &status);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

// The new file of a save is the user's alone until it is complete; then it
// takes the old file's permissions, or those a new file gets: 0666 less the
// process's mask, or what the folder's default access list gives.
TEST(CoordinateFiles, NewFilesArePrivateUntilComplete) {
    TempDir dir;
    const mode_t mask = ::umask(077);
    ::umask(mask);
    std::filesystem::create_directory(dir.File("shared"));
    const bool defaults = SetAccessList(dir.File("shared"), "system.posix_acl_default");
    // The name, the old file's mode (0: none), the mode after the save.
    const std::tuple<const char*, unsigned, unsigned> cases[] = {{"private.xyz", 0600, 0600},
                                                                 {"group.xyz", 0640, 0640},
                                                                 {"new.xyz", 0, 0666 & ~mask},
                                                                 {"shared/new.xyz", 0, defaults ? 0660 : 0666 & ~mask}};
    for (const auto& [name, oldMode, mode] : cases) {
        SCOPED_TRACE(name);
        const std::filesystem::path file = dir.File(name);
        if (oldMode != 0) {
            TempDir::WriteFile(file, "old");
            ::chmod(file.c_str(), oldMode);
        }
        OutputFile out(file.u16string());
        out.Write("new");
        std::vector<unsigned> newFiles;  // the modes of the new files beside it
        for (const auto& entry : std::filesystem::directory_iterator(file.parent_path()))
            if (entry.path().filename().string().starts_with(".korvex-")) newFiles.push_back(ModeOf(entry.path()));
        EXPECT_EQ(newFiles, std::vector<unsigned>{0600});
        out.Commit();
        EXPECT_EQ(ModeOf(file), mode);
    }
}

// A replaced file keeps its extended attributes and its access list, and so
// grants no one more than before: the colleague's write permission stays in
// the list and never becomes the owning group's. A file without a list in a
// folder with a default one does not keep the list its new file took.
TEST(CoordinateFiles, SavesKeepExtendedAttributesAndTheAccessList) {
    Files files;
    files.FillXYZ({u"P1|1|2|3"});
    const std::filesystem::path file = files.dir.File("a.xyz");
    files.dir.Write("a.xyz", "old");
    if (::setxattr(file.c_str(), "user.korvex", "survey", 6, 0) != 0)
        GTEST_SKIP() << "the temporary folder's file system keeps no user attributes";
    const bool lists = SetAccessList(file, "system.posix_acl_access");
    const unsigned mode = ModeOf(file);
    SaveXYZFile(files.store, file.u16string());
    EXPECT_EQ(Attribute(file, "user.korvex"), "survey");
    EXPECT_EQ(Attribute(file, "system.posix_acl_access"), lists ? kSharedAccessList : "");
    EXPECT_EQ(ModeOf(file), mode);
    if (!lists) GTEST_SKIP() << "no access list could be set; the user attribute was kept";

    ::removexattr(file.c_str(), "system.posix_acl_access");
    ASSERT_TRUE(SetAccessList(files.dir.Path(), "system.posix_acl_default"));
    SaveXYZFile(files.store, file.u16string());
    EXPECT_EQ(Attribute(file, "system.posix_acl_access"), "");
}

// A reader that runs out of memory at any point leaves both grids, their
// counts and the selected format as they were. (The window's record of its
// calls is given room beforehand: its own allocations are no part of this.)
TEST(CoordinateFiles, AReaderOutOfMemoryChangesNothing) {
    Files files;
    files.window.calls.reserve(100);
    files.FillXYZ({u"P1|1|2|3", u"P2|4|5|6"});
    files.FillYDE({u"S1|1|2|3|4"});
    files.store.gridXYZData.SetCell(0, 9, u"hidden");
    files.store.comboDataFormat.SetItemIndex(DataFormatSelector::kYXZ);
    files.dir.Write("in.txt", "POLIGON-0001 4512345.678 512345.6789 100.125\r\nQ2 1\r\n\r\nR3\r4 5 6 7\n" +
                                  std::string(20, '\n'));
    for (auto load : {LoadXYZFile, LoadYDEFile}) {
        const Rows state = files.State();
        const int failures = RunOutOfMemoryAtEveryStep([&] { load(files.store, files.dir.Name("in.txt")); },
                                                       [&] { EXPECT_EQ(files.State(), state); });
        EXPECT_GT(failures, 5);
        EXPECT_NE(files.State(), state);
    }
}
