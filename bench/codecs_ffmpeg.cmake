# Our video and sound decoders against FFmpeg's, on given movies: only where libavcodec's
# development files are installed. The player does not link FFmpeg: measured on Debian 12,
# libavcodec59 adds about 125 MB of installed libraries beside the player's own (libmfx1,
# libcodec2, libx265 among them), FFmpeg's Sorenson decoder ignores Flash's deblocking (up to
# 2.2 mean / 50 max off the fidelity references where ours is within 0.3 / 7), and both agree
# to the bit on VP6 and ADPCM. FFmpeg decodes Sorenson about 8x and VP6 about 2x faster.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
    pkg_check_modules(LIBAVCODEC QUIET IMPORTED_TARGET libavcodec libavutil)
endif()
if(LIBAVCODEC_FOUND AND TARGET mc_audio AND TARGET mc_video)
    find_package(Qt6 REQUIRED COMPONENTS Gui)
    add_executable(compare_codecs_ffmpeg ${CMAKE_CURRENT_LIST_DIR}/compare_codecs_ffmpeg.cpp)
    velmora_warnings(compare_codecs_ffmpeg)
    target_link_libraries(compare_codecs_ffmpeg PRIVATE mc_audio mc_video mc_swf Qt6::Gui
                                                        PkgConfig::LIBAVCODEC)
endif()
