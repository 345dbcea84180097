#include <gtest/gtest.h>

#include "SoundTags.h"
#include "moviemaker/BitWriter.h"
#include "moviemaker/Sound.h"

namespace {

moviemaker::SoundInfo syncStopInfo() {
    moviemaker::SoundInfo info;
    info.syncStop = true;
    return info;
}

moviemaker::SoundInfo loopInfo(std::uint16_t loops) {
    moviemaker::SoundInfo info;
    info.loops = loops;
    return info;
}

TEST(SoundTags, StartSoundCarriesEveryPartOfItsInfo) {
    moviemaker::SoundInfo info;
    info.noMultiple = true;
    info.inPoint = 441;
    info.outPoint = 88200;
    info.loops = 3;
    info.envelope = {{0, 0, 32768}, {44100, 32768, 0}};
    moviemaker::BitWriter body;
    body.u16(7);
    body.bytes(moviemaker::encodeSoundInfo(info));
    const auto s = audio::readStartSound(body.data());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->soundId, 7);
    EXPECT_FALSE(s->info.syncStop);
    EXPECT_TRUE(s->info.noMultiple);
    EXPECT_EQ(s->info.inPoint, 441u);
    EXPECT_EQ(s->info.outPoint, 88200u);
    EXPECT_EQ(s->info.loops, 3);
    ASSERT_EQ(s->info.envelope.size(), 2u);
    EXPECT_EQ(s->info.envelope[1].pos44, 44100u);
    EXPECT_EQ(s->info.envelope[1].left, 32768);
    EXPECT_EQ(s->info.envelope[1].right, 0);

    // Every shorter body is refused rather than read past its end.
    for (std::size_t n = 0; n < body.size(); ++n) {
        EXPECT_FALSE(audio::readStartSound(std::span(body.data()).first(n))) << n;
    }
}

TEST(SoundTags, AnEnvelopeCountBeyondTheTagIsRefused) {
    moviemaker::BitWriter body;
    body.u16(1);
    body.u8(0x08);
    body.u8(200); // points claimed
    body.u32(0);
    body.u16(1);
    body.u16(1);
    EXPECT_FALSE(audio::readStartSound(body.data()));
}

TEST(SoundTags, StartSound2NamesItsSoundByClass) {
    moviemaker::BitWriter body;
    body.string("Chime");
    body.bytes(moviemaker::encodeSoundInfo(syncStopInfo()));
    const auto s = audio::readStartSound2(body.data());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->className, "Chime");
    EXPECT_TRUE(s->info.syncStop);
}

TEST(SoundTags, DefineSoundAndStreamHeads) {
    moviemaker::BitWriter body;
    body.u16(3);
    body.u8(moviemaker::SoundFormat{2, 2, true, true}.byte());
    body.u32(12345);
    body.u16(0xABCD);
    const auto d = audio::readDefineSound(body.data());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->id, 3);
    EXPECT_EQ(d->format.kind(), audio::Codec::Mp3);
    EXPECT_EQ(d->format.rate, 22050u);
    EXPECT_TRUE(d->format.stereo);
    EXPECT_EQ(d->sampleCount, 12345u);
    EXPECT_EQ(d->data.size(), 2u);
    EXPECT_FALSE(audio::readDefineSound(std::span(body.data()).first(6)));

    moviemaker::BitWriter head;
    head.u8(0x0E);
    head.u8(moviemaker::SoundFormat{2, 3, true, false}.byte());
    head.u16(1152);
    head.i16(-20);
    const auto h = audio::readStreamHead(head.data());
    ASSERT_TRUE(h);
    EXPECT_EQ(h->stream.rate, 44100u);
    EXPECT_EQ(h->samplesPerBlock, 1152);
    EXPECT_EQ(h->latencySeek, -20);
    EXPECT_FALSE(audio::readStreamHead(std::span(head.data()).first(3)));
    EXPECT_FALSE(audio::readMp3StreamBlock(std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(SoundTags, ButtonSoundsSkipEmptyTransitions) {
    moviemaker::BitWriter body;
    body.u16(9);
    body.u16(0); // no sound when the pointer leaves
    body.u16(4);
    body.bytes(moviemaker::encodeSoundInfo(loopInfo(2)));
    body.u16(0);
    body.u16(5);
    body.bytes(moviemaker::encodeSoundInfo({}));
    const auto b = audio::readDefineButtonSound(body.data());
    ASSERT_TRUE(b);
    EXPECT_EQ(b->buttonId, 9);
    EXPECT_FALSE(b->transitions[audio::OverUpToIdle]);
    ASSERT_TRUE(b->transitions[audio::IdleToOverUp]);
    EXPECT_EQ(b->transitions[audio::IdleToOverUp]->soundId, 4);
    EXPECT_EQ(b->transitions[audio::IdleToOverUp]->info.loops, 2);
    EXPECT_FALSE(b->transitions[audio::OverUpToOverDown]);
    EXPECT_EQ(b->transitions[audio::OverDownToOverUp]->soundId, 5);
    EXPECT_FALSE(audio::readDefineButtonSound(std::span(body.data()).first(body.size() - 1)));
}

TEST(SoundTags, ExportsStopAtTheFirstDamagedEntry) {
    moviemaker::BitWriter body;
    body.u16(60000); // far more than present
    body.u16(2);
    body.string("song");
    body.u16(3);
    body.u8('x'); // no terminator
    const auto e = audio::readExportAssets(body.data());
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].first, 2);
    EXPECT_EQ(e[0].second, "song");
}

} // namespace
