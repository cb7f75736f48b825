// The settings file as an unlucky or hostile user leaves it: FIFOs, devices, sockets, huge
// files, other owners, deep folders, planted links, concurrent savers and the leftovers of
// killed saves.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/atomic_update.hpp"
#include "platform/posix/posix_files.hpp"
#include "platform/posix/update_temporaries.hpp"
#include "platform/posix/whole_file_read.hpp"
#include "unit/scratch_folder.hpp"

namespace tollivane::platform::posix {
namespace {

namespace fs = std::filesystem;

class HostileFiles : public ::testing::Test {
 protected:
  std::string at(const std::string& name) const { return dir_ + "/" + name; }
  void put(const std::string& name, const std::string& bytes) const {
    std::ofstream(at(name), std::ios::binary) << bytes;
  }

  tollivane::tests::ScratchFolder scratch_{"hostile"};
  const std::string dir_ = scratch_.path();
};

// A call that blocked would hang the whole test program: run it in a child with an alarm.
template <class Work>
bool finishesInTime(Work work) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(5);
    work();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool makeSocket(const std::string& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  path.copy(address.sun_path, path.size());
  const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return bound;
}

TEST_F(HostileFiles, NothingButARegularFileIsReadOrReplaced) {
  ASSERT_EQ(::mkfifo(at("fifo").c_str(), 0600), 0);
  fs::create_symlink(at("fifo"), at("link-to-fifo"));
  ASSERT_TRUE(makeSocket(at("socket")));
  fs::create_directory(at("folder"));
  fs::create_symlink(at("folder"), at("link-to-folder"));
  // A private node like /dev/null: were it replaced, a save by root through a link to the
  // real one would replace the system's.
  const bool nodes = ::mknod(at("null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0;
  if (nodes) fs::create_symlink(at("null"), at("link-to-null"));
  fs::create_symlink("/dev/zero", at("link-to-zero"));
  fs::create_symlink("/dev/full", at("link-to-full"));

  struct Case {
    const char* name;
    const char* reason;
  };
  std::vector<Case> cases = {
      {"fifo", "is a FIFO, not a regular file"},
      {"link-to-fifo", "is a FIFO, not a regular file"},
      {"socket", "is a socket, not a regular file"},
      {"folder", "is a folder, not a regular file"},
      {"link-to-folder", "is a folder, not a regular file"},
      {"link-to-zero", "is a character device, not a regular file"},
      {"link-to-full", "is a character device, not a regular file"},
  };
  if (nodes) cases.push_back({"link-to-null", "is a character device, not a regular file"});

  for (const Case& c : cases) {
    const auto before = fs::symlink_status(fs::canonical(at(c.name))).type();
    EXPECT_TRUE(finishesInTime([&] {
      if (readWholeFile(at(c.name))) ::_exit(1);
      if (replaceFileAtomically(at(c.name), "[main]\nhotkey1=65\n") != c.reason) ::_exit(2);
      bool edited = false;
      const auto reason = updateFileAtomically(at(c.name), [&](const auto&) {
        edited = true;
        return std::optional<std::string>("[main]\nhotkey1=65\n");
      });
      if (reason != c.reason || edited) ::_exit(3);
    })) << c.name;
    EXPECT_EQ(fs::symlink_status(fs::canonical(at(c.name))).type(), before) << c.name;
  }
  // Nothing was put in the folder beside them, and the system's nodes are still nodes.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()),
            static_cast<long>(7 + (nodes ? 2 : 0)));
  EXPECT_EQ(fs::status("/dev/zero").type(), fs::file_type::character);
  EXPECT_EQ(fs::status("/dev/full").type(), fs::file_type::character);
}

TEST_F(HostileFiles, AFileAboveTheSizeLimitIsNeitherReadNorRewritten) {
  { std::ofstream(at("huge.ini")) << "[main]\nhotkey1=65\n"; }
  // Sparse: no disk space is used for the size.
  fs::resize_file(at("huge.ini"), kMaxFileSize + 1);
  EXPECT_EQ(readWholeFile(at("huge.ini")), std::nullopt);
  bool edited = false;
  EXPECT_EQ(updateFileAtomically(at("huge.ini"),
                                 [&](const auto&) {
                                   edited = true;
                                   return std::optional<std::string>("x");
                                 }),
            "is larger than 128 MiB");
  EXPECT_FALSE(edited);
  EXPECT_EQ(fs::file_size(at("huge.ini")), kMaxFileSize + 1);

  // Nor does a save make a file that large: the file stays as it was, no temporary is left.
  { std::ofstream(at("full.ini")) << "[main]\nhotkey1=65\n"; }
  fs::resize_file(at("full.ini"), kMaxFileSize - 9);
  const auto modified = fs::last_write_time(at("full.ini"));
  EXPECT_EQ(updateFileAtomically(at("full.ini"),
                                 [](const auto& text) {
                                   return std::optional<std::string>(*text + "[rect]\nX=25\n");
                                 }),
            "would be larger than 128 MiB");
  EXPECT_EQ(replaceFileAtomically(at("full.ini"), std::string(kMaxFileSize + 1, 'x')),
            "would be larger than 128 MiB");
  EXPECT_EQ(fs::file_size(at("full.ini")), kMaxFileSize - 9);
  EXPECT_EQ(fs::last_write_time(at("full.ini")), modified);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);

  // /proc files say they are empty and are not: still read to their end, within the limit.
  const auto status = readWholeFile("/proc/self/status");
  ASSERT_TRUE(status);
  EXPECT_NE(status->find("Pid:"), std::string::npos);
}

TEST_F(HostileFiles, ASaveByRootKeepsTheOwnerGroupAndMode) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root may give a file to another user";
  put("user.ini", "[main]\nhotkey1=116\n");
  ASSERT_EQ(::chown(at("user.ini").c_str(), 4242, 4343), 0);
  ASSERT_EQ(::chmod(at("user.ini").c_str(), 0640), 0);
  ASSERT_EQ(replaceFileAtomically(at("user.ini"), "[main]\nhotkey1=65\n"), "");
  struct stat info {};
  ASSERT_EQ(::stat(at("user.ini").c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 4242u);
  EXPECT_EQ(info.st_gid, 4343u);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(readWholeFile(at("user.ini")), "[main]\nhotkey1=65\n");
}

TEST_F(HostileFiles, ConcurrentUpdatesLoseNothing) {
  constexpr int kProcesses = 6;
  constexpr int kUpdates = 25;
  put("shared.ini", "");
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = ::fork();
    if (child == 0) {
      for (int u = 0; u < kUpdates; ++u) {
        const std::string line = "p" + std::to_string(p) + "u" + std::to_string(u) + "\n";
        const auto reason = updateFileAtomically(at("shared.ini"), [&](const auto& text) {
          return std::optional<std::string>(text.value_or("") + line);
        });
        if (!reason.empty()) ::_exit(1);
      }
      ::_exit(0);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const auto text = readWholeFile(at("shared.ini")).value_or("");
  std::multiset<std::string> lines;
  for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
       start = end + 1) {
    lines.insert(text.substr(start, end - start));
  }
  EXPECT_EQ(lines.size(), static_cast<std::size_t>(kProcesses * kUpdates));
  for (int p = 0; p < kProcesses; ++p) {
    for (int u = 0; u < kUpdates; ++u) {
      EXPECT_EQ(lines.count("p" + std::to_string(p) + "u" + std::to_string(u)), 1u);
    }
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(HostileFiles, StaleTemporariesGoAtASaveAndNothingElseDoes) {
  const std::string old = ".Tollivane.ini.saving-3";
  const std::string fresh = ".Tollivane.ini.saving-0";
  const std::string others[] = {".Tollivane.ini.backup", ".Tollivane.ini.saving-8",
                                ".Other.ini.saving-3", "Tollivane.ini.saving-3"};
  for (const auto& name : {old, fresh}) put(name, "[main]\nhotkey1=");
  for (const auto& name : others) put(name, "keep");
  fs::create_directory(at(".Tollivane.ini.saving-5"));
  put(".Tollivane.ini.saving-5/inside", "keep");  // full: stepped past
  const auto twoMinutesAgo = fs::file_time_type::clock::now() - std::chrono::minutes(2);
  fs::last_write_time(at(old), twoMinutesAgo);
  fs::last_write_time(at(".Tollivane.ini.saving-5"), twoMinutesAgo);
  for (const auto& name : others) fs::last_write_time(at(name), twoMinutesAgo);

  // The folder's question changes nothing.
  EXPECT_EQ(PosixFiles(dir_).settingsFile("Tollivane.ini"), dir_ + "/Tollivane.ini");
  EXPECT_TRUE(fs::exists(at(old)));
  // Found by name, so also where the folder may be written but not listed.
  ASSERT_EQ(::chmod(dir_.c_str(), 0300), 0);
  const std::string reason = replaceFileAtomically(at("Tollivane.ini"), "[main]\nhotkey1=65\n");
  ASSERT_EQ(::chmod(dir_.c_str(), 0700), 0);
  ASSERT_EQ(reason, "");
  EXPECT_FALSE(fs::exists(at(old)));
  EXPECT_TRUE(fs::exists(at(fresh))) << "another save may still be writing it";
  EXPECT_TRUE(fs::is_directory(at(".Tollivane.ini.saving-5")));
  for (const auto& name : others) EXPECT_TRUE(fs::exists(at(name))) << name;
}

// Whatever stands under every temporary name, fresh files, links, folders, FIFOs, the save
// still goes through; no link is followed, and what can go without following one goes.
TEST_F(HostileFiles, LeftoversUnderEveryTemporaryNameNeverStopASave) {
  put("target", "outside");
  const auto name = [](int n) { return ".Tollivane.ini.saving-" + std::to_string(n); };
  const auto temporariesLeft = [&] {
    std::size_t left = 0;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      left += isTemporaryOf(entry.path().filename().string(), "Tollivane.ini") ? 1 : 0;
    }
    return left;
  };
  const auto save = [&](int key) {
    const std::string text = "[main]\nhotkey1=" + std::to_string(key) + "\n";
    EXPECT_EQ(replaceFileAtomically(at("Tollivane.ini"), text), "");
    EXPECT_EQ(readWholeFile(at("Tollivane.ini")), text);
  };
  // Eight that no save may take away: too young, or folders with something in them.
  for (int n = 0; n < 8; ++n) {
    if (n % 2 == 0) {
      put(name(n), "fresh");
    } else {
      fs::create_directory(at(name(n)));
      put(name(n) + "/inside", "keep");
    }
  }
  save(65);
  save(66);
  EXPECT_EQ(temporariesLeft(), 8u);

  for (int n = 0; n < 8; ++n) fs::remove_all(at(name(n)));
  fs::create_symlink(at("target"), at(name(0)));
  fs::create_symlink(at("nowhere"), at(name(1)));
  fs::create_directory(at(name(2)));
  ASSERT_EQ(::mkfifo(at(name(3)).c_str(), 0600), 0);
  save(67);
  EXPECT_EQ(readWholeFile(at("target")), "outside");
  EXPECT_EQ(temporariesLeft(), 0u);
}

TEST(TemporaryNames, AreRecognisedExactly) {
  const std::pair<const char*, bool> cases[] = {
      {".Tollivane.ini.saving-0", true},     {".Tollivane.ini.saving-7", true},
      {".Tollivane.ini.saving-8", false},    {".Tollivane.ini.saving-00", false},
      {"Tollivane.ini.saving-0", false},     {".tollivane.ini.saving-0", false},
      {".Tollivane.ini.0", false},           {".Tollivane.ini", false},
      {".Tollivane.ini.lock", false},        {".Tollivane.ini.saving-p123-0", true},
      {".Tollivane.ini.saving-p-0", false},  {".Tollivane.ini.saving-p12x-0", false},
      {".Tollivane.ini.saving-p1-9", false},
  };
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(isTemporaryOf(name, "Tollivane.ini"), expected) << name;
  }
}

TEST_F(HostileFiles, FoldersDeeperThanAPathMayBeAreUsedAsAnyOther) {
  // Made one level at a time: the whole path is too long for a single call.
  std::string deep = dir_;
  int folder = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY);
  const std::string level(200, 'd');
  while (deep.size() <= 5000) {
    ASSERT_EQ(::mkdirat(folder, level.c_str(), 0700), 0);
    const int next = ::openat(folder, level.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(folder);
    folder = next;
    deep += "/" + level;
  }
  ASSERT_EQ(::mkdirat(folder, "portable", 0700), 0);
  ::close(folder);
  const std::string file = deep + "/Tollivane.ini";
  EXPECT_FALSE(isFile(file));
  ASSERT_EQ(replaceFileAtomically(file, "[main]\nhotkey1=65\n"), "");
  EXPECT_TRUE(isFile(file));
  EXPECT_EQ(readWholeFile(file), "[main]\nhotkey1=65\n");
  ASSERT_EQ(updateFileAtomically(file,
                                 [](const auto& text) {
                                   return std::optional<std::string>(*text + "hotkey2=66\n");
                                 }),
            "");
  EXPECT_EQ(readWholeFile(file), "[main]\nhotkey1=65\nhotkey2=66\n");

  // A portable copy that deep keeps its settings beside itself and saves there, making a
  // missing folder on the way as the first save into the configuration folder does.
  PosixFiles files(deep + "/portable");
  const std::string beside = files.settingsFile("Tollivane.ini");
  ASSERT_EQ(beside, deep + "/portable/Tollivane.ini");
  ASSERT_EQ(files.updateFile(beside,
                             [](const auto& text) {
                               return std::optional<std::string>(text.value_or("[x]\n"));
                             }),
            "");
  EXPECT_EQ(readWholeFile(beside), "[x]\n");
  ASSERT_EQ(files.replaceFile(deep + "/new/" + level + "/Tollivane.ini", "[y]\n"), "");
  EXPECT_EQ(files.readFile(deep + "/new/" + level + "/Tollivane.ini"), "[y]\n");
}

// A link someone else planted where root saves must not make root write where they cannot.
TEST_F(HostileFiles, ALinkAnotherUserOwnsInASharedFolderIsNotFollowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root may make a link another user's";
  constexpr uid_t kNobody = 65534;
  const std::string refused = "is reached through a link that another user owns in a shared folder";
  struct Case {
    const char* what;
    mode_t folderMode;
    uid_t folderOwner;
    uid_t linkOwner;
    const char* save;  // below the folder
    bool followed;
  };
  const Case cases[] = {
      {"planted in a sticky world-writable folder", 01777, 0, kNobody, "Tollivane.ini", false},
      {"planted in a world-writable folder", 0777, 0, kNobody, "Tollivane.ini", false},
      {"planted in a sticky group-writable folder", 01770, 0, kNobody, "Tollivane.ini", false},
      {"a folder link planted", 01777, 0, kNobody, "sub/Tollivane.ini", false},
      {"root's own link there", 01777, 0, 0, "Tollivane.ini", true},
      {"the folder's owner's link", 01777, kNobody, kNobody, "Tollivane.ini", true},
      {"another user's link in a private folder", 0755, 0, kNobody, "Tollivane.ini", true},
  };
  fs::create_directory(at("private"));
  int n = 0;
  for (const Case& c : cases) {
    const std::string shared = at("shared" + std::to_string(++n));
    fs::create_directory(shared);
    put("private/Tollivane.ini", "root's");
    ASSERT_EQ(::chmod(at("private/Tollivane.ini").c_str(), 0600), 0);
    const bool folderLink = std::string_view(c.save).starts_with("sub/");
    const std::string link = shared + (folderLink ? "/sub" : "/Tollivane.ini");
    fs::create_symlink(folderLink ? at("private") : at("private/Tollivane.ini"), link);
    ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, c.linkOwner), 0);
    ASSERT_EQ(::chown(shared.c_str(), c.folderOwner, c.folderOwner), 0);
    ASSERT_EQ(::chmod(shared.c_str(), c.folderMode), 0);

    const std::string path = shared + "/" + c.save;
    bool edited = false;
    const auto reason = updateFileAtomically(path, [&](const auto& text) {
      edited = true;
      return std::optional<std::string>(text.value_or("") + " saved");
    });
    if (c.followed) {
      EXPECT_EQ(reason, "") << c.what;
      EXPECT_EQ(readWholeFile(path), "root's saved") << c.what;
    } else {
      EXPECT_EQ(reason, refused) << c.what;
      EXPECT_FALSE(edited) << c.what;
      EXPECT_EQ(replaceFileAtomically(path, "replaced"), refused) << c.what;
      // There, but not read: start-up says so rather than quietly taking the built-in values.
      EXPECT_TRUE(isFile(path)) << c.what;
      EXPECT_EQ(readWholeFile(path), std::nullopt) << c.what;
    }
    EXPECT_EQ(readWholeFile(at("private/Tollivane.ini")), c.followed ? "root's saved" : "root's")
        << c.what;
    EXPECT_TRUE(fs::is_symlink(link)) << c.what;
  }
}

}  // namespace
}  // namespace tollivane::platform::posix
