#include "characterfile.h"
#include "numbers.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#else
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace runetally;
namespace fs = std::filesystem;

namespace {

constexpr char kName[] = "thalia.rtchar";

// A folder of its own for each test, removed afterwards.
class CharacterFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("runetally-character-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder_);
    }
    std::string Path(const std::string& name) const { return folder_.string() + "/" + name; }
    std::set<std::string> Listing() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            const std::u8string name = entry.path().filename().u8string();
            names.emplace(name.begin(), name.end());
        }
        return names;
    }
    fs::path folder_;
};

std::string Slurp(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A number as a player might type it, with `separator`, or a text that is no number anywhere.
std::string RandomText(std::mt19937& random, char separator) {
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    if (pick(2) == 0) {
        std::string number =
            std::string(pick(2), ' ') + (pick(2) ? "-" : "") + std::to_string(random() % 100000);
        number += pick(2) ? separator + std::to_string(random() % 1000) : "";
        number += pick(3) == 0 ? "e" + std::to_string(pick(20)) : "";
        return number + std::string(pick(2), ' ');
    }
    const std::vector<std::string> pieces = {
        "x", "Thalia", "\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80", "\xe5\xad\x97", " ", "\""};
    std::string text;
    for (int n = pick(12); n >= 0; --n) {
        text += pieces[pick(int(pieces.size()))];
    }
    return text;
}

// What the window holds comes back as it was, whatever it holds and whichever the separator.
TEST_F(CharacterFile, WindowTextsSurviveTheFile) {
    std::mt19937 random(20261207);
    const std::string path = Path("th\xc3\xa9lia \xe2\x82\xac.rtchar");
    for (int round = 0; round < 100; ++round) {
        const char separator = round % 2 ? ',' : '.';
        Character character;
        character.spellName = round % 3 ? "Fireball" : "";
        for (int f = 0; f < kFieldCount; ++f) {
            character.text(Field(f)) = RandomText(random, separator);
        }
        if (round % 10 == 0) { // a long box: 1,000 characters beyond the BMP are 2,000 units
            std::string longText;
            for (int i = 0; i < 1000; ++i) {
                longText += "\xf0\x9f\x98\x80";
            }
            character.text(Field(round % kFieldCount)) = longText;
        }
        ASSERT_EQ(SaveCharacter(path, character, separator), std::nullopt);
        const auto opened = OpenCharacter(path, separator);
        ASSERT_TRUE(std::holds_alternative<Character>(opened)) << std::get<std::string>(opened);
        const Character& back = std::get<Character>(opened);
        EXPECT_EQ(back.spellName, character.spellName);
        for (int f = 0; f < kFieldCount; ++f) {
            EXPECT_EQ(back.text(Field(f)), character.text(Field(f))) << round << ' ' << f;
        }
    }
    EXPECT_EQ(Listing(), std::set<std::string>{"th\xc3\xa9lia \xe2\x82\xac.rtchar"});
}

// Numbers move between locales with their separator; everything else stays as typed, and what
// is no number where it was typed is none after reopening there.
TEST(CharacterText, NumbersTakeTheReadersSeparator) {
    struct Case {
        std::string typed;
        char writer, reader;
        std::string stored, read; // stored: the member's JSON
    };
    const std::vector<Case> cases = {
        {"1,5", ',', '.', R"("1.5")", "1.5"},
        {"1.5", '.', ',', R"("1.5")", "1,5"},
        {" 2e3 ", ',', '.', R"(" 2e3 ")", " 2e3 "},
        {"-0,25E-3", ',', ',', R"("-0.25E-3")", "-0,25E-3"},
        {"1,5", '.', ',', R"("1,5")", "1,5"},
        {"1,5", '.', '.', R"("1,5")", "1,5"},
        {"1.5.5", '.', ',', R"("1.5.5")", "1.5.5"},
        {"", ',', '.', R"("")", ""},
        // No number where ',' is the separator, but one for a reader of '.'.
        {"2.5", ',', ',', R"({"text":"2.5"})", "2.5"},
        {"2.5", ',', '.', R"({"text":"2.5"})", "2.5"},
        {" -1.5e3 ", ',', ',', R"({"text":" -1.5e3 "})", " -1.5e3 "},
        {"2,5", ',', '.', R"("2.5")", "2.5"},
        {"Thalia", ',', ',', R"("Thalia")", "Thalia"},
        {"", ',', ',', R"("")", ""},
    };
    for (const Case& c : cases) {
        Character character;
        character.varInt = c.typed;
        const std::string file = CharacterFileText(character, c.writer);
        EXPECT_NE(file.find(R"("int":)" + c.stored + ','), std::string::npos) << file;
        const auto read = ReadCharacterText(file, kName, c.reader);
        ASSERT_TRUE(std::holds_alternative<Character>(read)) << std::get<std::string>(read);
        const std::string& shown = std::get<Character>(read).varInt;
        EXPECT_EQ(shown, c.read) << c.typed;
        // Across locales a text that is none may read as a number: it is shown as typed.
        if (c.writer == c.reader || ParseNumber(c.typed, c.writer)) {
            EXPECT_EQ(ParseNumber(shown, c.reader), ParseNumber(c.typed, c.writer)) << c.typed;
        }
    }
}

TEST(CharacterText, WritesTheMembersInTheirOrder) {
    Character character;
    character.spellName = "Fireball";
    for (int f = 0; f < kFieldCount; ++f) {
        character.text(Field(f)) = std::to_string(f);
    }
    EXPECT_EQ(CharacterFileText(character, '.'),
              R"({"format":"runetally-character","version":2,"spell":"Fireball","inputs":{)"
              R"("level":"0","int":"1","wis":"2","resist":"3","light":"4","earth":"5",)"
              R"("fire":"6","air":"7","water":"8","dark":"9"}})"
              "\n");
}

TEST(CharacterText, RefusesBadFilesInOneMessage) {
    const std::string inputs = R"({"level": "99", "int": "100", "wis": "1", "resist": "1",)"
                               R"( "light": "1", "earth": "1", "fire": "1", "air": "1",)"
                               R"( "water": "1", "dark": "1"})";
    const auto file = [&](const std::string& members, int version = 1) {
        return R"({"format": "runetally-character", "version": )" + std::to_string(version) + ", " +
               members + "}";
    };
    const std::string good = file(R"("spell": "Fireball", "inputs": )" + inputs);
    // Version 2 with `int` stored as given.
    const auto withInt = [&](const std::string& stored, int version = 2) {
        return file(R"("spell": "", "inputs": )" +
                        std::string(inputs).replace(inputs.find(R"("100")"), 5, stored),
                    version);
    };
    const std::string bad = std::string(kName) + " is not a Runetally character: ";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", bad + "it is empty"},
        {good.substr(0, good.size() - 1), bad + "it is not JSON"},
        {"format: runetally-character", bad + "it is not JSON"},
        {"[" + good + "]", bad + "it holds no JSON object"},
        {R"({"format": "runetally-character", "version": "1"})",
         bad + "'version' is not a version number"},
        {R"({"format": 1})", bad + "'format' is not \"runetally-character\""},
        {file(R"("spell": 7, "inputs": )" + inputs), bad + "'spell' is not text"},
        {file(R"("spell": "Fireball", "inputs": [])"), bad + "'inputs' is not an object"},
        {file(R"("spell": "Fireball", "inputs": {"level": 99})"),
         bad + "'level' in 'inputs' is not text"},
        {file(R"("spell": "Fireball")"), bad + "'inputs' is missing"},
        {file(R"("spell": "Firebal", "inputs": )" + inputs), bad + "'spell' names no known spell"},
        {R"({"format": "runetally-character", "version": 3, "spell": 7})",
         std::string(kName) + " was made by a newer Runetally (version 3)"},
        {good + std::string(65 * 1024 - good.size(), ' '), bad + "it is larger than 64 KiB"},
        {file("\"spell\": \"Fire\xff\", \"inputs\": " + inputs), bad + "it is not UTF-8 text"},
        {"\xEF\xBB\xBF" + good, ""},
        {file(R"("spell": "", "spell": "Fireball", "inputs": )" + inputs),
         bad + "'spell' appears more than once"},
        {file(R"("spell": "", "inputs": {"a": 1, "a": 2})"), bad + "'a' appears more than once"},
        // What a newer file adds is passed over; an input holds what a box can hold.
        {file(R"("colour": [1], "spell": "", "inputs": )" + inputs), ""},
        {file(R"("spell": "", "inputs": )" +
              std::string(inputs).replace(inputs.find("100"), 3, std::string(32768, '1'))),
         bad + "'int' in 'inputs' is longer than 32767 characters"},
        // Nothing may follow the object: nlohmann's parser would stop at the NUL.
        {good + '\0' + R"({"format": 1})", bad + "it holds more than one JSON value"},
        {good + std::string(" \0", 2), bad + "it holds more than one JSON value"},
        {good + "\n" + good, bad + "it holds more than one JSON value"},
        {R"({"format": "runetally-character")" + std::string(1, '\0') + "}",
         bad + "it is not JSON"},
        // An object keeps a text that is no number from being taken for one, from version 2.
        {withInt(R"({"text": "2.5"})"), ""},
        {withInt(R"({"text": "2.5"})", 1), bad + "'int' in 'inputs' is not text"},
        {withInt(R"({"text": 2.5})"), bad + "'int' in 'inputs' is not text"},
        // A box would drop or change a control character, so that it showed another text.
        {withInt(R"("1\u00002")", 1), bad + "'int' in 'inputs' holds a control character"},
        {withInt(R"("1\n2")"), bad + "'int' in 'inputs' holds a control character"},
        {withInt(R"("\u007f")"), bad + "'int' in 'inputs' holds a control character"},
        {withInt(R"({"text": "\u001f"})"), bad + "'int' in 'inputs' holds a control character"},
        {withInt(R"("\u0080 \u0020~")"), ""},
    };
    for (const auto& [bytes, message] : cases) {
        const auto read = ReadCharacterText(bytes, kName, '.');
        const std::string* refused = std::get_if<std::string>(&read);
        EXPECT_EQ(refused ? *refused : "", message) << bytes.substr(0, 80);
    }
}

// A save that fails leaves the folder as it was: no temporary file, the old file untouched.
TEST_F(CharacterFile, FailedSavesKeepTheOldFile) {
    const std::string old = "the old character\n";
    std::ofstream(Path(kName), std::ios::binary) << old;
    fs::create_directory(Path("folder.rtchar"));
    Character huge;
    for (int f = 0; f < kFieldCount; ++f) {
        huge.text(Field(f)) = std::string(kMaxCharacterInputLength, '7');
    }
    Character tab; // a box may hold what a file may not
    tab.varInt = "1\t2";
    const std::vector<std::tuple<std::string, Character, std::string>> cases = {
        {"folder.rtchar", Character{}, "Could not save folder.rtchar: "},
        {"missing/thalia.rtchar", Character{}, "Could not save thalia.rtchar: "},
        {kName, huge, "Could not save thalia.rtchar: the character is larger than 64 KiB"},
        {kName, tab, "Could not save thalia.rtchar: 'int' holds a control character"},
    };
    for (const auto& [name, character, message] : cases) {
        const auto result = SaveCharacter(Path(name), character, '.');
        ASSERT_TRUE(result.has_value()) << name;
        EXPECT_TRUE(result->starts_with(message)) << *result;
        EXPECT_FALSE(result->ends_with(": ")) << "the system's reason is missing";
        EXPECT_EQ(Listing(), (std::set<std::string>{kName, "folder.rtchar"}));
        EXPECT_TRUE(fs::is_directory(Path("folder.rtchar")));
        EXPECT_EQ(Slurp(Path(kName)), old);
    }
    // A folder without write permission: only where permissions hold, which they do not for root.
    fs::permissions(folder_,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    if (std::ofstream(Path("probe"))) {
        GTEST_SKIP() << "permissions are not checked here (running as root?)";
    }
    const auto result = SaveCharacter(Path(kName), Character{}, '.');
    ASSERT_TRUE(result.has_value());
    EXPECT_TRUE(result->starts_with("Could not save thalia.rtchar: ")) << *result;
    EXPECT_EQ(Slurp(Path(kName)), old);
    EXPECT_EQ(Listing(), (std::set<std::string>{kName, "folder.rtchar"}));
}

TEST_F(CharacterFile, OpeningTellsWhatIsWrong) {
    std::ofstream(Path("big.rtchar"), std::ios::binary) << std::string(200 * 1024, ' ');
    EXPECT_EQ(std::get<std::string>(OpenCharacter(Path("big.rtchar"), '.')),
              "big.rtchar is not a Runetally character: it is larger than 64 KiB");
    const std::string missing = std::get<std::string>(OpenCharacter(Path(kName), '.'));
    EXPECT_TRUE(missing.starts_with("Could not open thalia.rtchar: ")) << missing;
}

// What is no regular file is refused at once: a pipe without a writer is never waited on, nor a
// device or a socket read. A folder keeps the system's words.
TEST_F(CharacterFile, OpensOnlyRegularFiles) {
    const std::string notAFile = ": it is not a regular file";
    fs::create_directory(Path("folder.rtchar"));
#ifdef _WIN32
    const HANDLE pipe = ::CreateNamedPipeW(L"\\\\.\\pipe\\runetally-test", PIPE_ACCESS_OUTBOUND,
                                           PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\\\\.\\pipe\\runetally-test", "Could not open runetally-test" + notAFile},
        {"NUL", "Could not open NUL" + notAFile},
    };
#else
    ASSERT_EQ(::mkfifo(Path("p.rtchar").c_str(), 0600), 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    Path("s.rtchar").copy(address.sun_path, sizeof address.sun_path - 1);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {Path("p.rtchar"), "Could not open p.rtchar" + notAFile},
        {Path("s.rtchar"), "Could not open s.rtchar" + notAFile},
        {"/dev/null", "Could not open null" + notAFile},
    };
#endif
    for (const auto& [path, message] : cases) {
        const auto opened = OpenCharacter(path, '.');
        const std::string* refused = std::get_if<std::string>(&opened);
        EXPECT_EQ(refused ? *refused : "opened", message);
    }
#ifdef _WIN32
    ::CloseHandle(pipe);
#else
    ::close(socket);
#endif
    // The system's words: "Is a directory", "Access is denied".
    const std::string folder = std::get<std::string>(OpenCharacter(Path("folder.rtchar"), '.'));
    EXPECT_TRUE(folder.starts_with("Could not open folder.rtchar: ") && !folder.ends_with(": ") &&
                !folder.ends_with(notAFile))
        << folder;
}

// What the window takes as a character file when one is dropped on it.
TEST(CharacterFileName, IsKnownByItsExtensionInAnyCase) {
    const std::pair<const char*, bool> names[] = {
        {"/home/p/thalia.rtchar", true},
        {"THALIA.RTCHAR", true},
        {"a.RtChar", true},
        {"thalia.rtchar.bak", false},
        {"thalia.rtcha", false},
        {"thalia_rtchar", false},
        {"rtchar", false},
        {"", false},
        {"/p/x.rtchar/", false},
    };
    for (const auto& [name, known] : names) {
        EXPECT_EQ(HasCharacterExtension(name), known) << name;
    }
}

// A save writes a file of that name, through a temporary one whose name is short.
TEST_F(CharacterFile, SavesTheLongestName) {
    const std::string name = std::string(255 - 7, 't') + ".rtchar";
    for (int time = 0; time < 2; ++time) { // a new file, then over the old one
        ASSERT_EQ(SaveCharacter(Path(name), Character{}, '.'), std::nullopt);
    }
    EXPECT_EQ(Listing(), std::set<std::string>{name});
}

#ifndef _WIN32
// A save through links writes the file at the end of the chain; each link stays as it was.
TEST_F(CharacterFile, SavingThroughLinksWritesTheFileTheyName) {
    using Links = std::vector<std::pair<std::string, std::string>>; // name, then what it names
    const std::vector<std::pair<Links, std::string>> cases = {
        {{{"link.rtchar", "thalia.rtchar"}}, "thalia.rtchar"},
        {{{"link.rtchar", Path("sub/thalia.rtchar")}}, "sub/thalia.rtchar"},
        {{{"link.rtchar", "sub/b.rtchar"}, {"sub/b.rtchar", "../thalia.rtchar"}}, "thalia.rtchar"},
        {{{"link.rtchar", "sub/new.rtchar"}}, "sub/new.rtchar"}, // a file yet to be made
    };
    Character character;
    character.varInt = "7";
    for (const auto& [links, written] : cases) {
        fs::remove_all(folder_);
        fs::create_directories(Path("sub"));
        std::ofstream(Path(kName)) << "old";
        std::ofstream(Path("sub/thalia.rtchar")) << "old";
        for (const auto& [link, target] : links) {
            fs::create_symlink(target, Path(link));
        }
        ASSERT_EQ(SaveCharacter(Path("link.rtchar"), character, '.'), std::nullopt) << written;
        for (const auto& [link, target] : links) {
            EXPECT_EQ(fs::read_symlink(Path(link)), target) << link;
        }
        for (const std::string name : {"thalia.rtchar", "sub/thalia.rtchar", "sub/new.rtchar"}) {
            EXPECT_EQ(Slurp(Path(name)).find(R"("int":"7")") != std::string::npos, name == written)
                << name;
        }
        for (const auto& entry : fs::recursive_directory_iterator(folder_)) {
            EXPECT_NE(entry.path().filename().string()[0], '.') << "a temporary file is left";
        }
    }
}

// What a save cannot write without losing something is refused, and nothing changes.
TEST_F(CharacterFile, SavesThatWouldLoseSomethingAreRefused) {
    std::ofstream(Path(kName)) << "old";
    fs::create_hard_link(Path(kName), Path("other.rtchar"));
    ::mkfifo(Path("p.rtchar").c_str(), 0644);
    fs::create_symlink("loop.rtchar", Path("loop.rtchar"));
    fs::create_symlink("/dev/null", Path("null.rtchar"));
    const std::set<std::string> listing = Listing();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {kName, "Could not save thalia.rtchar: it has 2 names (hard links), and saving would "
                "part them; save it under another name with Save Character As..."},
        {"p.rtchar", "Could not save p.rtchar: it is not a regular file"},
        {"null.rtchar", "Could not save null.rtchar: it is not a regular file"},
        {"loop.rtchar", "Could not save loop.rtchar: Too many levels of symbolic links"},
    };
    for (const auto& [name, message] : cases) {
        EXPECT_EQ(SaveCharacter(Path(name), Character{}, '.'), message);
        EXPECT_EQ(Listing(), listing);
        EXPECT_EQ(Slurp(Path(kName)) + Slurp(Path("other.rtchar")), "oldold");
        EXPECT_TRUE(fs::is_fifo(Path("p.rtchar")) && fs::is_character_file("/dev/null"));
    }
}

// The saved file keeps the old one's owner, group and mode where the saver may give them. Where
// it becomes the saver's, it loses setuid and setgid, and a save that would leave its owner
// unable to read or write it is refused. Root makes the files, and saves as others in a child.
TEST_F(CharacterFile, SavesKeepOwnerGroupAndModeOrAreRefused) {
    if (::geteuid() != 0 || !::getpwuid(2) || !::getpwuid(1)) {
        GTEST_SKIP() << "only root makes other users' files";
    }
    const std::string owner = ::getpwuid(1)->pw_name;
    const std::string lost = "Could not save thalia.rtchar: it belongs to " + owner +
                             ", and saving would make it yours, so that " + owner +
                             " could no longer ";
    using Status = std::tuple<uid_t, gid_t, mode_t>;
    // The file before, the saver and their groups (4242 is no one's), the message, the file after.
    const std::vector<std::tuple<Status, uid_t, std::vector<gid_t>, std::string, Status>> cases = {
        {{1, 1, 0600}, 0, {0}, "", {1, 1, 0600}},
        {{1, 4242, 04751}, 0, {0}, "", {1, 4242, 04751}},
        {{2, 2, 02770}, 2, {2}, "", {2, 2, 02770}},
        {{1, 1, 0660}, 2, {2, 1}, "", {2, 1, 0660}}, // the owner's own group reads and writes
        {{1, 1, 06777}, 2, {2}, "", {2, 2, 0777}},
        {{1, 4242, 0660}, 2, {2, 4242}, lost + "read or write it", {1, 4242, 0660}},
        {{1, 1, 0644}, 2, {2}, lost + "write it", {1, 1, 0644}},
        {{1, 4242, 0460}, 2, {2, 4242}, lost + "read it", {1, 4242, 0460}},
    };
    fs::permissions(folder_, fs::perms::all);
    for (const auto& [before, saver, groups, message, after] : cases) {
        std::ofstream(Path(kName)) << "old";
        ::chown(Path(kName).c_str(), std::get<0>(before), std::get<1>(before));
        ::chmod(Path(kName).c_str(), std::get<2>(before));
        int pipe[2]; // the saver's message comes back through it
        ASSERT_EQ(::pipe(pipe), 0);
        if (::fork() == 0) {
            ::setgroups(groups.size(), groups.data());
            ::setresgid(groups[0], groups[0], groups[0]);
            ::setresuid(saver, saver, saver);
            const std::string said = SaveCharacter(Path(kName), Character{}, '.').value_or("");
            ::_exit(::write(pipe[1], said.data(), said.size()) < 0);
        }
        ::close(pipe[1]);
        char said[512] = {};
        ::read(pipe[0], said, sizeof said - 1);
        ::close(pipe[0]);
        ::wait(nullptr);
        struct stat now {};
        ::stat(Path(kName).c_str(), &now);
        EXPECT_EQ(std::string(said), message);
        EXPECT_EQ(Status(now.st_uid, now.st_gid, now.st_mode & 07777), after) << message;
        EXPECT_EQ(Slurp(Path(kName)) == "old", !message.empty()) << message;
        EXPECT_EQ(Listing(), std::set<std::string>{kName});
    }
}
#else
// Under Wine, which makes and removes no symbolic link, the host's `ln` or `rm` does, on the
// link at `link`; true once it is there, or gone.
bool OnHost(const std::wstring& command, const fs::path& link, bool there) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    std::wstring line = command + L" \"" + fs::path(unixName(link.c_str())).wstring() + L"\"";
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    const std::wstring program = L"Z:\\bin\\" + command.substr(0, command.find(L' '));
    if (unixName && ::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, nullptr, &start, &process)) {
        ::CloseHandle(process.hProcess); // Wine may tell its end before it is done
        ::CloseHandle(process.hThread);
        for (int wait = 0; wait < 100 && fs::exists(link) != there; ++wait) {
            ::Sleep(50);
        }
    }
    return fs::exists(link) == there;
}

// The file's DACL, as text.
std::wstring Permissions(const std::string& path) {
    PSECURITY_DESCRIPTOR security = nullptr;
    wchar_t* text = nullptr;
    ::GetNamedSecurityInfoW(fs::u8path(path).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                            nullptr, nullptr, nullptr, nullptr, &security);
    ::ConvertSecurityDescriptorToStringSecurityDescriptorW(
        security, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr);
    const std::wstring permissions = text ? text : L"";
    ::LocalFree(text);
    ::LocalFree(security);
    return permissions;
}

// A save through a link writes the file it names, whose permissions stay.
TEST_F(CharacterFile, SavingThroughALinkKeepsTheFileAndItsPermissions) {
    std::ofstream(Path(kName), std::ios::binary) << "old";
    PSECURITY_DESCRIPTOR everyone = nullptr;
    ::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FA;;;WD)", SDDL_REVISION_1,
                                                           &everyone, nullptr);
    ::SetFileSecurityW(fs::u8path(Path(kName)).c_str(), DACL_SECURITY_INFORMATION, everyone);
    ::LocalFree(everyone);
    const std::wstring permissions = Permissions(Path(kName));
    SaveCharacter(Path("new.rtchar"), Character{}, '.');
    EXPECT_NE(permissions, Permissions(Path("new.rtchar"))) << "a new file's are not these";
    const fs::path link = fs::u8path(Path("link.rtchar"));
    const bool made = ::CreateSymbolicLinkW(link.c_str(), L"thalia.rtchar",
                                            SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
                      fs::exists(link);
    if (!made && !OnHost(L"ln -s thalia.rtchar", link, true)) {
        GTEST_SKIP() << "no symbolic links here";
    }
    Character character;
    character.varInt = "7";
    ASSERT_EQ(SaveCharacter(Path("link.rtchar"), character, '.'), std::nullopt);
    EXPECT_NE(Slurp(Path(kName)).find(R"("int":"7")"), std::string::npos);
    std::ofstream(Path(kName), std::ios::app) << " "; // the link still leads there
    EXPECT_EQ(Slurp(Path("link.rtchar")), Slurp(Path(kName)));
    EXPECT_EQ(Permissions(Path(kName)), permissions);
    EXPECT_EQ(Listing(), (std::set<std::string>{kName, "link.rtchar", "new.rtchar"}));
    if (!made) {
        OnHost(L"rm", link, false); // Wine would remove the file it names
    }
}

// What a save cannot write without losing something is refused before anything is written.
TEST_F(CharacterFile, SavesThatWouldLoseSomethingAreRefused) {
    const fs::path readOnly = fs::u8path(Path("read-only.rtchar"));
    std::ofstream(Path(kName), std::ios::binary) << "old";
    std::ofstream(readOnly, std::ios::binary) << "old";
    ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(::CreateHardLinkW(fs::u8path(Path("other.rtchar")).c_str(),
                                  fs::u8path(Path(kName)).c_str(), nullptr));
    wchar_t denied[256] = {}; // the system's words, which a message ends without a full stop
    ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     ERROR_ACCESS_DENIED, 0, denied, 256, nullptr);
    std::string words = fs::path(denied).string();
    words.erase(words.find_last_not_of(". \r\n") + 1);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {kName, "Could not save thalia.rtchar: it has 2 names (hard links), and saving would "
                "part them; save it under another name with Save Character As..."},
        {"read-only.rtchar", "Could not save read-only.rtchar: " + words}, // Access is denied
    };
    for (const auto& [name, message] : cases) {
        EXPECT_EQ(SaveCharacter(Path(name), Character{}, '.'), message);
        EXPECT_EQ(Listing(), (std::set<std::string>{kName, "other.rtchar", "read-only.rtchar"}));
        EXPECT_EQ(Slurp(Path(name)), "old");
    }
    EXPECT_EQ(::GetFileAttributesW(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY,
              DWORD{FILE_ATTRIBUTE_READONLY});
    ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}
#endif

} // namespace
