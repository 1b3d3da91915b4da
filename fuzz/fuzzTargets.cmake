# Every fuzz target: its name, its source in fuzz/ and the libraries whose reader it feeds. The
# fuzz build makes each a libFuzzer program (fuzz/CMakeLists.txt); the ordinary build runs each
# one's seed corpus once as a test (tests/CMakeLists.txt).
set(quorvelFuzzTargets
    fuzz_event_list_file:eventListFileFuzzer.cpp:quorvel_model
    fuzz_sac_object:sacObjectFuzzer.cpp:QVRSAC
    fuzz_usgs_feeds:usgsFeedFuzzer.cpp:quorvel_feeds
    fuzz_fdsn_text:fdsnTextFuzzer.cpp:quorvel_feeds
    fuzz_html_wrapper:htmlWrapperFuzzer.cpp:quorvel_feeds
    fuzz_european_feeds:europeanFeedsFuzzer.cpp:quorvel_feeds
    fuzz_polygon_text:polygonTextFuzzer.cpp:QVR_Graphics
    fuzz_channel_list:channelListFuzzer.cpp:quorvel_seismograms)
