// Loading files beside the movie: URLLoader and URLStream answer once the running scripts
// are done, in Flash's order, with the data in each format; a later load or close drops the
// replies of the one before. NetStream plays an FLV file on the player's clock, calling its
// client with the script data and reporting each stage; FLV tags are read without trusting
// their lengths.

#include "PlayerClassTest.h"

#include "avm2/EventState.h"
#include "avm2/Timers.h"
#include "swf/FlvReader.h"

#include <cstring>

namespace {

using avm2::Args;
using avm2::Machine;
using avm2::Name;
using avm2::Value;
using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

class Loading : public avm2test::PlayerClassTest {
  protected:
    // Traces each event of `type` on `target` as "type" plus, for net status, its code, and
    // for the load events the data's class at that moment.
    void listen(const Value& target, const char* type) {
        avm2::NativeFn traceEvent = [](Machine& m, const Value&, Args& a) {
            const Value event = a[0];
            std::string line = m.toString(m.getProperty(event, Name::publicName("type")));
            const Value info = m.hasProperty(event, Name::publicName("info"))
                                   ? m.getProperty(event, Name::publicName("info"))
                                   : Value();
            if (info.isObject()) {
                line += " " + m.toString(m.getProperty(info, Name::publicName("code")));
            }
            const Value target = m.getProperty(event, Name::publicName("target"));
            if (m.hasProperty(target, Name::publicName("dataFormat"))) {
                line += " data=" + m.typeOf(m.getProperty(target, Name::publicName("data")));
            }
            if (line.starts_with("ioError") || line.starts_with("asyncError")) {
                line += " " + m.toString(m.getProperty(event, Name::publicName("text")));
            }
            m.host().trace(line);
            return Value();
        };
        call(target, "addEventListener",
             {Value::string(type), Value::object(vm.newNative(traceEvent))});
    }
    Value request(const std::string& url) { return make("flash.net::URLRequest", {str(url)}); }
    static Value str(const std::string& s) { return Value::string(s); }
    Value loader(const std::string& format = "text") {
        Value l = make("flash.net::URLLoader");
        set(l, "dataFormat", str(format));
        for (const char* type : {"open", "progress", "complete", "ioError"}) {
            listen(l, type);
        }
        return l;
    }
};

TEST_F(Loading, AFileArrivesAfterTheScriptInFlashsOrder) {
    host.files["notes.txt"] = bytesOf("\xEF\xBB\xBFhello");
    Value l = loader();
    call(l, "load", {request("notes.txt")});
    EXPECT_EQ(host.text(), "");
    EXPECT_EQ(get(l, "data"), "undefined");
    avm2::sendQueuedEvents(vm);
    EXPECT_EQ(host.text(), "open data=undefined\n"
                           "progress data=undefined\n"
                           "complete data=string\n");
    // The byte order mark is no part of the text; the counts are the file's.
    EXPECT_EQ(get(l, "data"), "hello");
    EXPECT_EQ(get(l, "bytesLoaded"), "8");
    EXPECT_EQ(get(l, "bytesTotal"), "8");
}

TEST_F(Loading, EachFormatHandsOutItsKindOfData) {
    host.files["v.txt"] = bytesOf("a=1&b=two%20words");
    Value bytes = loader("binary");
    call(bytes, "load", {request("v.txt")});
    Value vars = loader("variables");
    call(vars, "load", {request("v.txt")});
    host.files["wide.txt"] = {0xFF, 0xFE, 'h', 0, 'i', 0};
    Value wide = loader();
    call(wide, "load", {request("wide.txt")});
    avm2::sendQueuedEvents(vm);
    const Value array = vm.getProperty(bytes, Name::publicName("data"));
    EXPECT_EQ(vm.className(array), "ByteArray");
    EXPECT_EQ(get(array, "length"), "17");
    const Value variables = vm.getProperty(vars, Name::publicName("data"));
    EXPECT_EQ(vm.className(variables), "URLVariables");
    EXPECT_EQ(get(variables, "b"), "two words");
    EXPECT_EQ(get(wide, "data"), "hi");
}

TEST_F(Loading, AMissingFileIsAnIoErrorNamingTheAddress) {
    host.movieAddress = "file:///cards/card.swf";
    Value l = loader();
    call(l, "load", {request("gone.xml")});
    avm2::sendQueuedEvents(vm);
    EXPECT_EQ(host.text(), "ioError data=undefined Error #2032: Stream Error. URL: "
                           "file:///cards/gone.xml\n");
    // Nobody listening: reported as an uncaught error.
    host.lines.clear();
    Value quiet = make("flash.net::URLLoader", {request("gone.xml")});
    avm2::sendQueuedEvents(vm);
    EXPECT_NE(host.text().find("Error #2044: Unhandled IOErrorEvent:. text=Error #2032"),
              std::string::npos);
    EXPECT_EQ(thrown([&] { call(l, "load", {Value::null()}); }), "TypeError #2007");
}

TEST_F(Loading, ALaterLoadOrCloseDropsTheRepliesBefore) {
    host.files["a.txt"] = bytesOf("first");
    host.files["b.txt"] = bytesOf("second");
    Value l = loader();
    call(l, "load", {request("a.txt")});
    call(l, "load", {request("b.txt")});
    avm2::sendQueuedEvents(vm);
    EXPECT_EQ(host.text(), "open data=undefined\n"
                           "progress data=undefined\n"
                           "complete data=string\n");
    EXPECT_EQ(get(l, "data"), "second");
    host.lines.clear();
    call(l, "load", {request("a.txt")});
    call(l, "close");
    avm2::sendQueuedEvents(vm);
    EXPECT_EQ(host.text(), "");
    EXPECT_EQ(get(l, "data"), "second");
}

TEST_F(Loading, AStreamReadsWhatArrivedAndClosesOnlyWhenOpen) {
    host.files["s.bin"] = {0x00, 0x03, 'a', 'b', 'c', 0x7F};
    Value s = make("flash.net::URLStream");
    EXPECT_EQ(thrown([&] { call(s, "close"); }), "IOError #2029");
    call(s, "load", {request("s.bin")});
    EXPECT_EQ(get(s, "connected"), "true");
    EXPECT_EQ(get(s, "bytesAvailable"), "0");
    avm2::sendQueuedEvents(vm);
    EXPECT_EQ(get(s, "bytesAvailable"), "6");
    EXPECT_EQ(text(call(s, "readUTF")), "abc");
    EXPECT_EQ(text(call(s, "readByte")), "127");
    EXPECT_EQ(thrown([&] { call(s, "readByte"); }), "EOFError #2030");
    EXPECT_EQ(get(s, "connected"), "false");
}

TEST_F(Loading, AFileDialogIsCancelledAndNothingIsEverChosen) {
    Value file = make("flash.net::FileReference");
    listen(file, "cancel");
    listen(file, "select");
    EXPECT_EQ(text(call(file, "browse")), "true");
    EXPECT_EQ(host.text(), "");
    avm2::sendQueuedEvents(vm);
    EXPECT_EQ(host.text(), "cancel\n");
    EXPECT_EQ(thrown([&] { get(file, "name"); }), "IllegalOperationError #2037");
    EXPECT_EQ(thrown([&] { call(file, "load"); }), "IllegalOperationError #2037");
    EXPECT_EQ(get(file, "data"), "null");
}

TEST_F(Loading, AFileListIsAbsentUntilABrowseAndEachBrowseStartsAnEmptyOne) {
    Value list = make("flash.net::FileReferenceList");
    listen(list, "cancel");
    const auto chosen = [&] {
        return get(vm.getProperty(list, Name::publicName("fileList")), "length");
    };
    EXPECT_EQ(get(list, "fileList"), "null");
    EXPECT_EQ(text(call(list, "browse")), "true");
    const Value first = vm.getProperty(list, Name::publicName("fileList"));
    EXPECT_EQ(vm.className(first), "Array");
    EXPECT_EQ(chosen(), "0");
    avm2::sendQueuedEvents(vm);
    EXPECT_EQ(host.text(), "cancel\n");
    EXPECT_EQ(chosen(), "0");
    // What a script put in the old list does not carry over to the next browse.
    call(first, "push", {str("stale")});
    call(list, "browse");
    const Value second = vm.getProperty(list, Name::publicName("fileList"));
    EXPECT_FALSE(vm.strictEquals(first, second));
    EXPECT_EQ(chosen(), "0");
}

// --- FLV --------------------------------------------------------------------------------

void put(Bytes& out, std::uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

void addTag(Bytes& flv, std::uint8_t type, std::uint32_t timeMs, const Bytes& data) {
    flv.push_back(type);
    put(flv, static_cast<std::uint32_t>(data.size()), 3);
    put(flv, timeMs & 0xFFFFFF, 3);
    flv.push_back(static_cast<std::uint8_t>(timeMs >> 24));
    put(flv, 0, 3);
    flv.insert(flv.end(), data.begin(), data.end());
    put(flv, static_cast<std::uint32_t>(data.size() + 11), 4);
}

Bytes flvHeader() {
    Bytes flv = bytesOf("FLV");
    flv.push_back(1);
    flv.push_back(1); // video
    put(flv, 9, 4);
    put(flv, 0, 4);
    return flv;
}

// AMF0: the callback's name and one ECMA array holding a number.
Bytes scriptData(const std::string& name, const std::string& key, double value) {
    Bytes out;
    out.reserve(32 + name.size() + key.size());
    out.push_back(0x02);
    put(out, static_cast<std::uint32_t>(name.size()), 2);
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0x08);
    put(out, 1, 4);
    put(out, static_cast<std::uint32_t>(key.size()), 2);
    out.insert(out.end(), key.begin(), key.end());
    out.push_back(0x00);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    put(out, static_cast<std::uint32_t>(bits >> 32), 4);
    put(out, static_cast<std::uint32_t>(bits), 4);
    put(out, 0x000009, 3);
    return out;
}

TEST(FlvReader, TagsInOrderUntilTheFileIsCutShort) {
    Bytes flv = flvHeader();
    addTag(flv, 18, 0, {1, 2});
    addTag(flv, 9, 0x01020304, {0x42, 7, 8});
    addTag(flv, 9, 40, {0x14, 0x00, 9});
    const std::optional<std::size_t> first = swf::flvFirstTag(flv);
    ASSERT_TRUE(first.has_value());
    std::size_t at = *first;
    auto script = swf::readFlvTag(flv, at);
    ASSERT_TRUE(script.has_value());
    EXPECT_EQ(script->type, 18);
    auto sorenson = swf::readFlvTag(flv, at);
    ASSERT_TRUE(sorenson.has_value());
    // Written as 02 03 04 then 01: the fourth byte is the highest.
    EXPECT_EQ(sorenson->timeMs, 0x01020304u);
    auto frame = swf::flvVideoFrame(sorenson->data);
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->codec, 2);
    EXPECT_FALSE(frame->keyFrame);
    EXPECT_EQ(frame->frame.size(), 2u);
    // A VP6 frame loses its crop byte as well.
    auto vp6 = swf::readFlvTag(flv, at);
    ASSERT_TRUE(vp6.has_value());
    frame = swf::flvVideoFrame(vp6->data);
    ASSERT_TRUE(frame.has_value());
    EXPECT_TRUE(frame->keyFrame);
    EXPECT_EQ(frame->frame.size(), 1u);
    EXPECT_FALSE(swf::readFlvTag(flv, at).has_value());

    // A length past the end, a command frame and a file that is no FLV.
    Bytes cut = flvHeader();
    addTag(cut, 9, 0, {0x12, 1, 2, 3});
    cut.resize(cut.size() - 6);
    at = *swf::flvFirstTag(cut);
    EXPECT_FALSE(swf::readFlvTag(cut, at).has_value());
    EXPECT_FALSE(swf::flvVideoFrame(Bytes{0x52, 0}).has_value());
    EXPECT_FALSE(swf::flvFirstTag(bytesOf(std::string("FLX\1\1\0\0\0\x09", 9))).has_value());
    Bytes hugeHeader = flvHeader();
    hugeHeader[8] = 0xFF;
    EXPECT_FALSE(swf::flvFirstTag(hugeHeader).has_value());
}

class Streams : public Loading {
  protected:
    Value stream() {
        Value connection = make("flash.net::NetConnection");
        call(connection, "connect", {Value::null()});
        Value s = make("flash.net::NetStream", {connection});
        listen(s, "netStatus");
        listen(s, "asyncError");
        return s;
    }
    // A client whose onMetaData traces the duration it was given.
    Value client() {
        Value c = Value::object(vm.newObject());
        avm2::NativeFn onMetaData = [](Machine& m, const Value&, Args& a) {
            m.host().trace("duration " +
                           m.toString(m.getProperty(a.at(0), Name::publicName("duration"))));
            return Value();
        };
        set(c, "onMetaData", Value::object(vm.newNative(onMetaData)));
        return c;
    }
    void tickAt(double ms) {
        host.clock = ms;
        avm2::runTimers(vm, ms);
    }
};

TEST_F(Streams, AStreamNeedsItsConnectionOpen) {
    Value connection = make("flash.net::NetConnection");
    EXPECT_EQ(thrown([&] { make("flash.net::NetStream", {connection}); }), "ArgumentError #2126");
    EXPECT_EQ(thrown([&] { make("flash.net::NetStream", {Value::null()}); }), "TypeError #2007");
}

TEST_F(Streams, PlayingAFileCallsTheClientAndReportsEachStage) {
    Bytes flv = flvHeader();
    addTag(flv, 18, 0, scriptData("onMetaData", "duration", 0.5));
    addTag(flv, 18, 400, scriptData("onCuePoint", "time", 0.4));
    host.files["clip.flv"] = flv;
    Value s = stream();
    set(s, "client", client());
    call(s, "play", {str("missing.flv")});
    call(s, "play", {str("clip.flv")});
    avm2::sendQueuedEvents(vm);
    EXPECT_EQ(host.text(), "netStatus NetStream.Play.Start\n"
                           "duration 0.5\n"
                           "netStatus NetStream.Buffer.Full\n");
    host.lines.clear();
    tickAt(100);
    call(s, "pause");
    tickAt(1000);
    EXPECT_EQ(get(s, "time"), "0");
    call(s, "resume");
    // The client has no onCuePoint: an asyncError names the callback.
    tickAt(1350);
    tickAt(1400);
    EXPECT_EQ(host.text(),
              "netStatus NetStream.Pause.Notify\n"
              "netStatus NetStream.Unpause.Notify\n"
              "asyncError Error #2095: flash.net.NetStream was unable to invoke callback "
              "onCuePoint.\n"
              "netStatus NetStream.Buffer.Flush\n"
              "netStatus NetStream.Play.Stop\n"
              "netStatus NetStream.Buffer.Empty\n");
    EXPECT_EQ(get(s, "time"), "0.4");
}

TEST_F(Streams, ASeekLandsOnTheKeyFrameBeforeItPlayingOrPaused) {
    // Sorenson frames: 0x12 a key frame, 0x22 one that needs the frames before it.
    Bytes flv = flvHeader();
    addTag(flv, 9, 0, {0x12, 0});
    addTag(flv, 9, 100, {0x22, 0});
    addTag(flv, 9, 200, {0x12, 0});
    addTag(flv, 18, 250, scriptData("onMetaData", "duration", 7));
    addTag(flv, 9, 300, {0x22, 0});
    host.files["clip.flv"] = flv;
    Value s = stream();
    set(s, "client", client());
    call(s, "play", {str("clip.flv")});
    avm2::sendQueuedEvents(vm);
    host.lines.clear();

    call(s, "seek", numbers({0.26}));
    EXPECT_EQ(get(s, "time"), "0.2");
    avm2::sendQueuedEvents(vm);
    tickAt(60); // 260 ms into the file
    EXPECT_EQ(host.text(), "netStatus NetStream.Seek.Notify\nduration 7\n");
    host.lines.clear();

    // Past the file's end: refused, the stream where it was.
    call(s, "seek", numbers({5}));
    avm2::sendQueuedEvents(vm);
    EXPECT_EQ(host.text(), "netStatus NetStream.Seek.InvalidTime\n");
    EXPECT_EQ(get(s, "time"), "0.25");
    host.lines.clear();

    // Paused, the stream waits at the key frame it sought until it resumes.
    call(s, "pause");
    call(s, "seek", numbers({0.15}));
    avm2::sendQueuedEvents(vm);
    tickAt(2000);
    EXPECT_EQ(get(s, "time"), "0");
    call(s, "resume");
    tickAt(2260);
    avm2::sendQueuedEvents(vm);
    EXPECT_EQ(host.text(), "netStatus NetStream.Pause.Notify\n"
                           "netStatus NetStream.Seek.Notify\n"
                           "netStatus NetStream.Unpause.Notify\n"
                           "duration 7\n");
}

TEST_F(Streams, AMissingFileIsNotFoundAndACloseStopsTheReplies) {
    Value s = stream();
    call(s, "play", {str("missing.flv")});
    avm2::sendQueuedEvents(vm);
    EXPECT_EQ(host.text(), "netStatus NetStream.Play.StreamNotFound\n");
    host.lines.clear();
    host.files["clip.flv"] = flvHeader();
    call(s, "play", {str("clip.flv")});
    call(s, "close");
    avm2::sendQueuedEvents(vm);
    tickAt(1000);
    EXPECT_EQ(host.text(), "");
}

TEST_F(Streams, AVideoWithoutAStreamShowsNothingYet) {
    Value video = make("flash.media::Video", numbers({160, 120}));
    EXPECT_EQ(get(video, "videoWidth"), "0");
    EXPECT_EQ(get(video, "smoothing"), "false");
    set(video, "smoothing", Value::boolean(true));
    set(video, "deblocking", Value::number(2.7));
    EXPECT_EQ(get(video, "smoothing"), "true");
    EXPECT_EQ(get(video, "deblocking"), "2");
    call(video, "attachNetStream", {stream()});
    call(video, "attachNetStream", {Value::null()});
    call(video, "clear");
}

} // namespace
