#pragma once

#include <cstdint>

namespace swf::tag {
inline constexpr std::uint16_t End = 0;
inline constexpr std::uint16_t ShowFrame = 1;
inline constexpr std::uint16_t DefineShape = 2;
inline constexpr std::uint16_t PlaceObject = 4;
inline constexpr std::uint16_t RemoveObject = 5;
inline constexpr std::uint16_t DefineBits = 6;
inline constexpr std::uint16_t DefineButton = 7;
inline constexpr std::uint16_t JpegTables = 8;
inline constexpr std::uint16_t SetBackgroundColor = 9;
inline constexpr std::uint16_t DefineFont = 10;
inline constexpr std::uint16_t DefineText = 11;
inline constexpr std::uint16_t DoAction = 12;
inline constexpr std::uint16_t DefineFontInfo = 13;
inline constexpr std::uint16_t DefineSound = 14;
inline constexpr std::uint16_t StartSound = 15;
inline constexpr std::uint16_t DefineButtonSound = 17;
inline constexpr std::uint16_t SoundStreamHead = 18;
inline constexpr std::uint16_t SoundStreamBlock = 19;
inline constexpr std::uint16_t DefineBitsLossless = 20;
inline constexpr std::uint16_t DefineBitsJpeg2 = 21;
inline constexpr std::uint16_t DefineShape2 = 22;
inline constexpr std::uint16_t DefineButtonCxform = 23;
inline constexpr std::uint16_t Protect = 24;
inline constexpr std::uint16_t PlaceObject2 = 26;
inline constexpr std::uint16_t RemoveObject2 = 28;
inline constexpr std::uint16_t DefineShape3 = 32;
inline constexpr std::uint16_t DefineText2 = 33;
inline constexpr std::uint16_t DefineButton2 = 34;
inline constexpr std::uint16_t DefineBitsJpeg3 = 35;
inline constexpr std::uint16_t DefineBitsLossless2 = 36;
inline constexpr std::uint16_t DefineEditText = 37;
inline constexpr std::uint16_t DefineSprite = 39;
inline constexpr std::uint16_t FrameLabel = 43;
inline constexpr std::uint16_t SoundStreamHead2 = 45;
inline constexpr std::uint16_t DefineMorphShape = 46;
inline constexpr std::uint16_t DefineFont2 = 48;
inline constexpr std::uint16_t ExportAssets = 56;
inline constexpr std::uint16_t ImportAssets = 57;
inline constexpr std::uint16_t ImportAssets2 = 71;
inline constexpr std::uint16_t DoInitAction = 59;
inline constexpr std::uint16_t DefineVideoStream = 60;
inline constexpr std::uint16_t VideoFrame = 61;
inline constexpr std::uint16_t DefineFontInfo2 = 62;
inline constexpr std::uint16_t FileAttributes = 69;
inline constexpr std::uint16_t PlaceObject3 = 70;
inline constexpr std::uint16_t DefineFontAlignZones = 73;
inline constexpr std::uint16_t CsmTextSettings = 74;
inline constexpr std::uint16_t DefineFont3 = 75;
inline constexpr std::uint16_t SymbolClass = 76;
inline constexpr std::uint16_t Metadata = 77;
inline constexpr std::uint16_t DefineScalingGrid = 78;
inline constexpr std::uint16_t DefineMorphShape2 = 84;
inline constexpr std::uint16_t DefineShape4 = 83;
inline constexpr std::uint16_t DefineSceneAndFrameLabelData = 86;
inline constexpr std::uint16_t DefineFontName = 88;
inline constexpr std::uint16_t StartSound2 = 89;
inline constexpr std::uint16_t DefineBitsJpeg4 = 90;
} // namespace swf::tag
