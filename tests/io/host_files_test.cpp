#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "io/host_files.h"
#include "scratch_folder.h"
#include "without_waiting.h"

namespace {

TEST(HostFiles, BackslashesAndLetterCaseResolveToTheFileOnDisk) {
    ScratchFolder folder;
    folder.writeText("Data/Texture/Wall.BMP", "bmp");
    const std::string root = folder.string();

    const Result<FileBytes> file = readHostFile(root + "\\data\\texture\\wall.bmp");
    ASSERT_TRUE(file);
    EXPECT_EQ(std::string(file->begin(), file->end()), "bmp");
    EXPECT_EQ(hostPath(root + "\\DATA\\texture\\WALL.bmp"), root + "/Data/Texture/Wall.BMP");

    // A component that matches nothing keeps its spelling, and so does the rest.
    EXPECT_EQ(hostPath(root + "\\data\\missing\\Wall.BMP"), root + "/Data/missing/Wall.BMP");
    EXPECT_FALSE(readHostFile(root + "\\data\\missing\\wall.bmp"));
    EXPECT_FALSE(readHostFile(root + "\\data"));  // a folder is not a file
    EXPECT_TRUE(hostFileReadable(root + "/DATA/TEXTURE/WALL.BMP"));
}

TEST(HostFiles, NamesAreBytesAndNeverReEncoded) {
    ScratchFolder folder;
    const std::string legacy = "\xb5\xe7\xbb\xfa.bmp";  // a name in a legacy code page
    folder.writeText(legacy, "x");
    EXPECT_TRUE(readHostFile(folder.string() + "\\" + legacy));
}

TEST(HostFiles, FilesOverTheLimitAreRefusedAndStartsReadAsFarAsAsked) {
    ScratchFolder folder;
    const std::string path = folder.writeText("ten", "0123456789").string();
    EXPECT_EQ(readHostFile(path, 10)->size(), 10u);
    const Result<FileBytes> refused = readHostFile(path, 9);
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.kind(), Failure::tooLarge);
    EXPECT_EQ(readHostFile(folder.string() + "/missing").kind(), Failure::cannotOpen);
    // A folder opens for reading here, but gives no bytes.
    EXPECT_EQ(readHostFile(folder.string()).kind(), Failure::unreadable);

    EXPECT_EQ(*readHostFileStart(path, 4), (std::vector<std::uint8_t>{'0', '1', '2', '3'}));
    EXPECT_EQ(readHostFileStart(path, 64)->size(), 10u);
    EXPECT_EQ(readHostFileStart(folder.string(), 4).kind(), Failure::unreadable);
}

TEST(HostFiles, FifosSocketsAndDevicesAreRefusedAtOnce) {
    const ScratchFolder folder;
    const std::filesystem::path fifo = folder.path() / "Pipe.bmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string named = folder.string() + "\\pipe.BMP";  // found by the case-blind match

    const auto whole = withoutWaiting(fifo, [&] { return readHostFile(named).kind(); });
    EXPECT_EQ(whole, Failure::notRegularFile);
    const auto start = withoutWaiting(fifo, [&] { return readHostFileStart(named, 4).kind(); });
    EXPECT_EQ(start, Failure::notRegularFile);
    EXPECT_EQ(withoutWaiting(fifo, [&] { return hostFileReadable(named); }), false);

    // A socket cannot be opened at all; a device opens, and is refused.
    const std::filesystem::path socketPath = folder.path() / "socket";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.string().size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listening, 0);
    ASSERT_EQ(::bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    EXPECT_FALSE(readHostFile(socketPath.string()));
    EXPECT_FALSE(hostFileReadable(socketPath.string()));
    ::close(listening);
    EXPECT_EQ(readHostFile("/dev/zero").kind(), Failure::notRegularFile);
    EXPECT_EQ(readHostFileStart("/dev/zero", 4).kind(), Failure::notRegularFile);
    EXPECT_FALSE(hostFileReadable("/dev/null"));

    // A folder keeps its own problem, and still counts as opened; a file read after all this is
    // read whole.
    EXPECT_EQ(readHostFile(folder.string()).kind(), Failure::unreadable);
    EXPECT_TRUE(hostFileReadable(folder.string()));
    const std::string path = folder.writeText("ten", "0123456789").string();
    EXPECT_EQ(readHostFile(path)->size(), 10u);
}

// Within a scope each folder is listed once: a file added to a listed folder is not found by a
// case-blind match until the next scope, while one spelled as on disk always is.
TEST(HostFiles, FolderListingsLastOneScope) {
    const ScratchFolder folder;
    folder.writeText("Data/First.bmp", "1");
    const std::string root = folder.string();
    {
        const FolderListings listings;
        EXPECT_EQ(hostPath(root + "\\data\\first.bmp"), root + "/Data/First.bmp");
        folder.writeText("Data/Second.bmp", "2");
        {
            const FolderListings inner;  // uses the outer scope's listings
            EXPECT_EQ(hostPath(root + "\\data\\second.bmp"), root + "/Data/second.bmp");
        }
        EXPECT_EQ(hostPath(root + "\\data\\second.bmp"), root + "/Data/second.bmp");
        EXPECT_TRUE(readHostFile(root + "\\data\\Second.bmp"));
    }
    EXPECT_EQ(hostPath(root + "\\data\\second.bmp"), root + "/Data/Second.bmp");
    const FolderListings next;
    EXPECT_EQ(hostPath(root + "\\data\\SECOND.bmp"), root + "/Data/Second.bmp");

    // Of names that differ only in case, the one spelled so is taken.
    folder.writeText("Data/Twin.bmp", "");
    folder.writeText("Data/twin.bmp", "");
    EXPECT_EQ(hostPath(root + "\\data\\Twin.bmp"), root + "/Data/Twin.bmp");
    EXPECT_EQ(hostPath(root + "\\data\\twin.bmp"), root + "/Data/twin.bmp");
}

TEST(HostFiles, NamesThatLeaveTheDataRootComposeNoPath) {
    for (const char* name : {"/etc/passwd", "\\secret.tga", "\\\\server\\share\\x.bmp", "C:\\x.bmp",
                             "c:x.bmp", "..", "..\\..\\secret.tga", "a\\..\\..\\x", "a/../b.bmp",
                             "a\\..\\b.bmp", "a\\..", "...\\x.bmp", ".. \\x.bmp", "a\\. .\\x"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(staysBelowDataRoot(name));
        EXPECT_FALSE(composeDataPath("%s\\data\\texture\\%s", "root", name));
    }
    for (const char* name : {"wall.bmp", "sub\\wall.bmp", ".\\wall.bmp", "..wall.bmp", "a..b\\c.",
                             "a\\.\\b", "1:x.bmp", ""}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(staysBelowDataRoot(name));
        EXPECT_EQ(composeDataPath("%s\\data\\texture\\%s", "root", name),
                  std::string("root\\data\\texture\\") + name);
    }
}

TEST(HostFiles, ComposedPathsStopAt511Characters) {
    const std::string root(490, 'r');
    auto path = composeDataPath("%s\\data\\%s", root, std::string(15, 'n'));
    ASSERT_TRUE(path);
    EXPECT_EQ(path->size(), 511u);
    EXPECT_EQ(path->substr(490, 6), "\\data\\");
    EXPECT_FALSE(composeDataPath("%s\\data\\%s", root, std::string(16, 'n')));
}

}  // namespace
