# Our video and sound decoders against FFmpeg's, on given movies: only where libavcodec's
# development files are installed. The player never links FFmpeg.
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
