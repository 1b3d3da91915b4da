# Every fuzz target: its name, its source in fuzz/ and the library whose reader it feeds. The
# fuzz build makes each a libFuzzer program (fuzz/CMakeLists.txt); the ordinary build runs each
# one's seed corpus once as a test (tests/CMakeLists.txt). For each name in quorvelFuzzTargets,
# quorvelFuzzSource_<name> is its source and quorvelFuzzLibrary_<name> what it links.
set(quorvelFuzzTargets)
macro(quorvel_fuzz_target name source library)
    list(APPEND quorvelFuzzTargets ${name})
    set(quorvelFuzzSource_${name} ${CMAKE_CURRENT_LIST_DIR}/${source})
    set(quorvelFuzzLibrary_${name} ${library})
endmacro()

quorvel_fuzz_target(fuzz_event_list_file eventListFileFuzzer.cpp quorvel_model)
quorvel_fuzz_target(fuzz_sac_object sacObjectFuzzer.cpp QVRSAC)
quorvel_fuzz_target(fuzz_miniseed miniSeedFuzzer.cpp QVRSAC)
quorvel_fuzz_target(fuzz_usgs_feeds usgsFeedFuzzer.cpp quorvel_feeds)
quorvel_fuzz_target(fuzz_fdsn_text fdsnTextFuzzer.cpp quorvel_feeds)
quorvel_fuzz_target(fuzz_html_wrapper htmlWrapperFuzzer.cpp quorvel_feeds)
quorvel_fuzz_target(fuzz_european_feeds europeanFeedsFuzzer.cpp quorvel_feeds)
quorvel_fuzz_target(fuzz_polygon_text polygonTextFuzzer.cpp QVR_Graphics)
quorvel_fuzz_target(fuzz_channel_list channelListFuzzer.cpp quorvel_seismograms)
quorvel_fuzz_target(fuzz_station_text stationTextFuzzer.cpp quorvel_seismograms)
quorvel_fuzz_target(fuzz_seedlink_stream seedLinkStreamFuzzer.cpp quorvel_seismograms)
