#include "TestFiles.h"

#include "cardformat/NoteTrailer.h"
#include "cardformat/TextCodec.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace cardformat::testing {
namespace {

const ReadOnlyQuestion answerNo = [](std::string_view, std::string_view) { return false; };

class NoteTest : public TempDirTest {
  protected:
    std::string movie(const Bytes& bytes, const std::string& name = "hello.swf") {
        writeFile(path(name), bytes);
        return path(name);
    }
    bool write(const std::string& file, const std::string& author, const std::string& password,
               const std::string& blessing, const std::string& version, std::string title = "t") {
        return writeNote(file, author, password, blessing, version, title, answerNo);
    }
};

Bytes withTrailer(Bytes movie, const Bytes& trailer) {
    movie.insert(movie.end(), trailer.begin(), trailer.end());
    return movie;
}

Bytes entry(char tag, const Bytes& text, std::int32_t length) {
    Bytes e = {static_cast<std::uint8_t>(tag), 0, 0, 0, 0};
    writeInt32LE(&e[1], length);
    e.insert(e.end(), text.begin(), text.end());
    return e;
}

TEST_F(NoteTest, WritesTheWorkedExampleByteForByte) {
    Bytes body = smallMovie();
    body.resize(1000, 0x11);
    writeInt32LE(&body[4], 1000);
    const std::string file = movie(body);

    ASSERT_TRUE(write(file, "abc", "", "hi", "1.0"));
    const Bytes expectedTrailer = {0x53, 0x50, 0x56, 0x03, 0x00, 0x00, 0x00, 0x31, 0x2E, 0x30,
                                   0x41, 0x03, 0x00, 0x00, 0x00, 0x61, 0x62, 0x63, 0x43, 0x00,
                                   0x00, 0x00, 0x00, 0x4E, 0x02, 0x00, 0x00, 0x00, 0x68, 0x69,
                                   0x4D, 0x01, 0x00, 0x00, 0x00, 0x74, 0x00, 0x00};
    const Bytes written = readFile(file);
    ASSERT_EQ(written.size(), 1038u);
    EXPECT_EQ(Bytes(written.begin(), written.begin() + 1000), body);
    EXPECT_EQ(Bytes(written.begin() + 1000, written.end()), expectedTrailer);

    const CardNote note = getNote(file);
    EXPECT_EQ(note, (CardNote{"abc", "未知", "t", "hi", "1.0"})); // empty password reads 未知
}

TEST_F(NoteTest, RewritingReplacesAnyOldTrailer) {
    const Bytes body = smallMovie();
    const std::string tagged = movie(body, "a.swf");
    const std::string untagged = movie(withTrailer(body, bytesOf("old greeting")), "b.swf");
    for (const std::string& file : {tagged, untagged}) {
        ASSERT_TRUE(write(file, "x", "y", "first, much longer blessing", "1"));
        ASSERT_TRUE(write(file, "Ferlo", "云杉小径", "祝你快乐", "1.0"));
        // 29 bytes of frame plus the stored text lengths: 5 + 8 + 8 + 3 + 1.
        EXPECT_EQ(readFile(file).size(), body.size() + 29 + 5 + 8 + 8 + 3 + 1) << file;
        EXPECT_EQ(getNote(file), (CardNote{"Ferlo", "云杉小径", "t", "祝你快乐", "1.0"}));
    }
}

TEST_F(NoteTest, MovieShorterThanDeclaredGainsTwoZeroBytes) {
    const Bytes body = smallMovie(+500);
    const std::string file = movie(body);
    ASSERT_TRUE(write(file, "", "", "", ""));
    const Bytes written = readFile(file);
    const std::int32_t declared = readInt32LE(&written[4]);
    EXPECT_EQ(declared, static_cast<std::int32_t>(body.size()) + 2);
    EXPECT_EQ(written[body.size()], 0);
    EXPECT_EQ(written[body.size() + 1], 0);
    EXPECT_EQ(written[body.size() + 2], 'S');
    EXPECT_EQ(written.size(), body.size() + 2 + 29 + 1);
    EXPECT_EQ(getNote(file), (CardNote{"未知", "未知", "t", "", ""}));
}

TEST_F(NoteTest, EmptyTitleBecomesTheDefaultTitle) {
    const std::string file = movie(smallMovie(), "新年.card.swf");
    std::string title;
    ASSERT_TRUE(writeNote(file, "a", "p", "b", "v", title, answerNo));
    EXPECT_EQ(title, "《新年.card》");
    EXPECT_EQ(getNote(file).Title, "《新年.card》");

    // A name without "." has no default title: the writer fails, the reader goes on.
    const std::string bare = movie(smallMovie(), "bare");
    std::string none;
    EXPECT_FALSE(writeNote(bare, "a", "p", "b", "v", none, answerNo));
    EXPECT_NE(logText().find("writeNote() 发生错误："), std::string::npos);
    EXPECT_EQ(getNote(bare), (CardNote{"未知", "未知", "", "", ""}));
    EXPECT_EQ(getNote(path("x\\y.z\\hello.swf")).Title, "《hello》");
}

TEST_F(NoteTest, StoredTextsAreGb18030WithByteLengths) {
    const std::string file = movie(smallMovie());
    ASSERT_TRUE(write(file, "未知", "", "€ and 𠀀", ""));
    const Bytes written = readFile(file);
    const std::size_t a = smallMovie().size() + 2 + 5; // behind SP and the empty V entry
    EXPECT_EQ(written[a], 'A');
    EXPECT_EQ(readInt32LE(&written[a + 1]), 4);
    EXPECT_EQ(getNote(file).Blessing, "€ and 𠀀"); // characters beyond GBK survive
}

TEST_F(NoteTest, ReaderRules) {
    const Bytes body = smallMovie();
    const Bytes end = {0, 0};
    // A zero byte inside a text reads as a blank; a later entry of a tag wins; unknown tags
    // and empty texts read nothing, and the next tag follows their length field directly.
    Bytes trailer = bytesOf("SP");
    for (const Bytes& e :
         {entry('N', bytesOf(std::string("a\0b", 3)), 3), entry('Z', {}, 0),
          entry('N', bytesOf("second"), 6), entry('A', {}, 0), entry('V', bytesOf("2"), 1)}) {
        trailer.insert(trailer.end(), e.begin(), e.end());
    }
    trailer.insert(trailer.end(), end.begin(), end.end());
    EXPECT_EQ(getNote(movie(withTrailer(body, trailer))),
              (CardNote{"未知", "未知", "《hello》", "second", "2"}));

    // No trailer at all.
    EXPECT_EQ(getNote(movie(body)), (CardNote{"未知", "未知", "《hello》", "", ""}));

    // Untagged: the whole trailer becomes the blessing.
    EXPECT_EQ(getNote(movie(withTrailer(body, bytesOf(toAnsi("生日快乐"))))),
              (CardNote{"未知", "未知", "《hello》", "生日快乐", "0"}));

    // The last entry ending on the file's last byte (no terminator) makes it untagged too.
    Bytes open = bytesOf("SP");
    const Bytes only = entry('N', bytesOf("hi"), 2);
    open.insert(open.end(), only.begin(), only.end());
    const CardNote n = getNote(movie(withTrailer(body, open)));
    EXPECT_EQ(n.Blessing, std::string("SPN\x02   hi")); // zero bytes read as blanks
    EXPECT_EQ(n.Version, "0");
    EXPECT_EQ(n.Author, "未知");
}

TEST_F(NoteTest, RefusalsLeaveTheFileAlone) {
    EXPECT_FALSE(write(path("missing.swf"), "a", "b", "c", "d"));
    EXPECT_EQ(getNote(path("missing.swf")).Blessing, "找不到文件" + path("missing.swf"));
    std::filesystem::create_directory(path("dir.swf"));
    EXPECT_EQ(getNote(path("dir.swf")).Blessing, "找不到文件" + path("dir.swf"));

    Bytes compressed = smallMovie();
    compressed[0] = 'C';
    const std::string cws = movie(compressed, "c.swf");
    EXPECT_FALSE(write(cws, "a", "b", "c", "d"));
    EXPECT_EQ(readFile(cws), compressed);
    EXPECT_EQ(getNote(cws).Blessing, "不是SWF文件");
    EXPECT_EQ(logText(), ""); // expected refusals are not logged
}

TEST_F(NoteTest, ReadOnlyMovieIsRewrittenOnlyWhenTheUserAgrees) {
    const Bytes body = smallMovie();
    const std::string file = movie(body);
    std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read);
    std::string askedTitle;
    std::string askedText;
    std::string title = "t";
    EXPECT_FALSE(
        writeNote(file, "a", "b", "c", "d", title, [&](std::string_view t, std::string_view q) {
            askedTitle = t;
            askedText = q;
            return false;
        }));
    EXPECT_EQ(askedTitle, "Trelvane");
    EXPECT_EQ(askedText, "文件：" + file + "\r\n是只读文件，是否要保存更改？");
    EXPECT_EQ(readFile(file), body);
    EXPECT_EQ(permissionBits(file), 0440u);
    EXPECT_NE(logText().find("writeNote() 发生错误： \r\n\t0\r\n"), std::string::npos);

    EXPECT_TRUE(writeNote(file, "a", "b", "c", "d", title, [](auto, auto) { return true; }));
    EXPECT_EQ(getNote(file).Author, "a");
    EXPECT_EQ(permissionBits(file), 0640u); // the owner may write now; the rest as it was
}

TEST_F(NoteTest, WriterKeepsPermissionsAndFollowsLinks) {
    const std::string file = movie(smallMovie());
    std::filesystem::permissions(file, static_cast<std::filesystem::perms>(0604));
    std::filesystem::create_symlink(file, path("link.swf"));
    ASSERT_TRUE(write(path("link.swf"), "a", "b", "c", "d"));
    EXPECT_TRUE(std::filesystem::is_symlink(path("link.swf")));
    EXPECT_EQ(permissionBits(file), 0604u);
    EXPECT_EQ(getNote(file).Author, "a");
    // Nothing is left behind beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir()), {}), 2);
}

TEST_F(NoteTest, FailedWriteLeavesTheMovieIntact) {
    Bytes body = smallMovie();
    body.resize(64 * 1024, 0x22);
    writeInt32LE(&body[4], static_cast<std::int32_t>(body.size()));
    const std::string file = movie(body);

    // A file size limit below the new file makes every write past it fail.
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 16 * 1024;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool written = write(file, "a", "b", "c", "d");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(file), body);
    EXPECT_NE(logText().find("writeNote() 发生错误： \r\n\t61磁盘已满"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir()), {}), 2); // movie, log
}

TEST_F(NoteTest, HostileTrailersTakeTheFailurePath) {
    const Bytes body = smallMovie();
    const auto failed = [&](const Bytes& bytes) {
        const CardNote n = getNote(movie(bytes));
        return n.Blessing == "抱歉,发生错误!";
    };
    Bytes negative = body;
    writeInt32LE(&negative[4], -5);
    EXPECT_TRUE(failed(withTrailer(negative, bytesOf("xx"))));
    Bytes tiny = body;
    writeInt32LE(&tiny[4], 3);
    EXPECT_TRUE(failed(tiny));
    EXPECT_TRUE(failed(withTrailer(body, Bytes(40000, 'x')))); // untagged over the limit
    Bytes big = bytesOf("SP");
    const Bytes longText = entry('N', Bytes(40000, 'y'), 40000);
    big.insert(big.end(), longText.begin(), longText.end());
    big.insert(big.end(), {0, 0});
    EXPECT_TRUE(failed(withTrailer(body, big)));
    EXPECT_NE(logText().find("getNote() 发生错误："), std::string::npos);

    // Lengths that point far outside the file, or are negative, are harmless.
    Bytes huge = bytesOf("SP");
    const Bytes e = entry('N', {}, 0x7FFFFFFF);
    huge.insert(huge.end(), e.begin(), e.end());
    huge.insert(huge.end(), {0, 0});
    EXPECT_EQ(getNote(movie(withTrailer(body, huge))).Version, "0");
    Bytes negativeLength = bytesOf("SP");
    const Bytes n = entry('N', {}, -100);
    negativeLength.insert(negativeLength.end(), n.begin(), n.end());
    negativeLength.insert(negativeLength.end(), 24, 0); // four empty entries and the end
    EXPECT_EQ(getNote(movie(withTrailer(body, negativeLength))).Blessing, "");
    EXPECT_EQ(getNote(movie(withTrailer(body, bytesOf("S")))).Blessing, "S");

    // The writer refuses a declared length that would put the note into the header.
    EXPECT_FALSE(write(movie(tiny, "tiny.swf"), "a", "b", "c", "d"));
    EXPECT_EQ(readFile(path("tiny.swf")), tiny);
    EXPECT_FALSE(write(movie(bytesOf("FWS\x06"), "short.swf"), "a", "b", "c", "d"));
}

TEST(FileNames, PartBehindTheLastSeparator) {
    EXPECT_EQ(getFileName("C:\\cards\\hello.swf"), "hello.swf");
    EXPECT_EQ(getFileName("/home/a/b.swf"), "b.swf");
    EXPECT_EQ(getFileName("plain.swf"), "plain.swf");
    EXPECT_EQ(getFileName("dir/"), "");
    EXPECT_EQ(defaultTitle("/x/a.b.swf"), "《a.b》");
    EXPECT_EQ(defaultTitle("/x.y/noext"), "");
}

} // namespace
} // namespace cardformat::testing
