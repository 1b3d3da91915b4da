# Installs the build into a temporary prefix, then builds and runs a project outside the tree
# against the installed libraries, as their users would. Run by CTest as
#   cmake -DBUILD_DIR=… -DCONSUMER_SOURCE=… -DSAC_FILE=… -DMSEED_FILE=… -DFEED_FILE=… -DVERSION=…
#         -DBINDIR=… -DLIBDIR=… -DINCLUDEDIR=… -DDATADIR=… -DGENERATOR=… -DCXX_COMPILER=…
#         [-DCXX_LAUNCHER=…] [-DCONSUMER_FLAGS=…] -P installAndConsume.cmake
# The build tree is only read; everything made here lives in one temporary folder, removed at
# the end whatever happened.
cmake_minimum_required(VERSION 3.25)

if(DEFINED ENV{TMPDIR} AND IS_DIRECTORY "$ENV{TMPDIR}")
    set(temporaryRoot "$ENV{TMPDIR}")
else()
    set(temporaryRoot /tmp)
endif()
string(RANDOM LENGTH 10 suffix)
set(work "${temporaryRoot}/quorvel-install-test-${suffix}")
set(prefix "${work}/prefix")
set(consumer "${work}/consumer")
file(MAKE_DIRECTORY "${work}")

function(fail why)
    file(REMOVE_RECURSE "${work}")
    message(FATAL_ERROR "${why}")
endfunction()

# Runs one step; a failing step ends the test with its output.
function(run step)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT result EQUAL 0)
        fail("${step} failed (${result}):\n${out}\n${err}")
    endif()
    set(stepOutput "${out}" PARENT_SCOPE)
    set(stepErrors "${err}" PARENT_SCOPE)
endfunction()

function(expect step text pattern)
    if(NOT text MATCHES "${pattern}")
        fail("${step}: expected to match '${pattern}', got:\n${text}")
    endif()
endfunction()

# 1. The whole installation, from the build's own install rules.
run("cmake --install" ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")
foreach(installed IN ITEMS
        ${BINDIR}/Quorvel
        ${LIBDIR}/libQVRFoundation.so ${LIBDIR}/libQVRSAC.so ${LIBDIR}/libQVR_Graphics.so
        ${LIBDIR}/quorvel/quorvelWebBrowser.so
        ${INCLUDEDIR}/QVRFoundation/qvrfoundation_export.h
        ${INCLUDEDIR}/QVRSAC/SacObject.h ${INCLUDEDIR}/QVRSAC/qvrsac_export.h
        ${INCLUDEDIR}/QVR_Graphics/QVRView.h ${INCLUDEDIR}/QVR_Graphics/geoMapView.h
        ${INCLUDEDIR}/QVR_Graphics/qvr_graphics_export.h
        ${LIBDIR}/cmake/QVRFoundation/QVRFoundationConfig.cmake
        ${LIBDIR}/cmake/QVRSAC/QVRSACConfigVersion.cmake
        ${LIBDIR}/cmake/QVR_Graphics/QVR_GraphicsConfig.cmake
        ${DATADIR}/applications/Quorvel.desktop
        ${DATADIR}/icons/hicolor/scalable/apps/quorvel.svg
        ${DATADIR}/metainfo/org.quorvel.Quorvel.metainfo.xml
        ${DATADIR}/doc/quorvel/copyright)
    if(NOT EXISTS "${prefix}/${installed}")
        fail("not installed: ${installed}")
    endif()
endforeach()
# The package's copyright file and the metadata name the same licence, and the copyright file
# points to the system's copy of its text.
file(READ "${prefix}/${DATADIR}/metainfo/org.quorvel.Quorvel.metainfo.xml" metadata)
expect("the metadata's licence" "${metadata}" "<project_license>GPL-3.0-or-later</project_license>")
file(READ "${prefix}/${DATADIR}/doc/quorvel/copyright" copyright)
expect("the copyright file's licence" "${copyright}"
       "\nFiles: \\*\nCopyright: [^\n]+\nLicense: GPL-3\\+\n.*/usr/share/common-licenses/GPL-3")

# 2. The installed program finds its libraries through its own path, not the build tree's.
run("installed Quorvel --version" "${prefix}/${BINDIR}/Quorvel" --version)
expect("installed Quorvel --version" "${stepOutput}" "^Quorvel ${VERSION}\n$")

# 3. ... and the map pictures, when the build made them.
file(GLOB pictures "${prefix}/${DATADIR}/quorvel/maps/*.jpg")
if(pictures)
    run("installed Quorvel --render map" "${prefix}/${BINDIR}/Quorvel" --source usgs
        --input "${FEED_FILE}" --render map --output "${work}/map.png")
    if(stepErrors MATCHES "No map picture")
        fail("the installed program did not find its map pictures:\n${stepErrors}")
    endif()
else()
    message(STATUS "no map pictures were built: the installed map is not checked")
endif()

# 4. A project outside the tree, configured with nothing but the prefix.
set(configure ${CMAKE_COMMAND} -S "${CONSUMER_SOURCE}" -B "${consumer}" -G "${GENERATOR}"
    "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}"
    -DCMAKE_BUILD_TYPE=RelWithDebInfo)
if(CXX_LAUNCHER)
    list(APPEND configure "-DCMAKE_CXX_COMPILER_LAUNCHER=${CXX_LAUNCHER}")
endif()
if(CONSUMER_FLAGS)
    list(APPEND configure "-DCMAKE_CXX_FLAGS=${CONSUMER_FLAGS}"
        "-DCMAKE_EXE_LINKER_FLAGS=${CONSUMER_FLAGS}")
endif()
run("configuring the consumer" ${configure})
file(STRINGS "${consumer}/CMakeCache.txt" packageFolders REGEX "^(QVRSAC|QVR_Graphics|QVRFoundation)_DIR:")
foreach(folder IN LISTS packageFolders)
    string(FIND "${folder}" "=${prefix}/" where)
    if(where EQUAL -1)
        fail("the consumer found a package outside the prefix: ${folder}")
    endif()
endforeach()
list(LENGTH packageFolders packagesFound)
if(NOT packagesFound EQUAL 3)
    fail("the consumer did not find all three packages: ${packageFolders}")
endif()
run("building the consumer" ${CMAKE_COMMAND} --build "${consumer}" -j2)

# 5. It reads a SAC file with QVRSAC (and QVRFoundation's date texts, the compiled-in
#    Flinn-Engdahl tables) ...
run("readSac" "${consumer}/readSac" "${SAC_FILE}")
expect("readSac" "${stepOutput}"
    "^station CDV\nnpts 1000\ndelta 0.01\ngcarc 40.186\norigin 1981-03-29 10:38:14.000\nregion OFF COAST OF WASHINGTON\n$")

# ... and the traces of a miniSEED file, libmseed working behind QVRSAC alone ...
run("readWaveforms" "${consumer}/readWaveforms" "${MSEED_FILE}")
expect("readWaveforms" "${stepOutput}"
    "^BW.BGLD..EHE.2007.365.235959.SAC 412\nBW.BGLD..EHE.2008.001.000004.SAC 824\nBW.BGLD..EHE.2008.001.000010.SAC 824\nBW.BGLD..EHE.2008.001.000018.SAC 50668\n$")

# 6. ... and draws a plot frame with QVR_Graphics into a PDF.
run("drawAxis" "${consumer}/drawAxis" "${work}/axis.pdf")
if(NOT EXISTS "${work}/axis.pdf")
    fail("drawAxis wrote no PDF")
endif()
file(READ "${work}/axis.pdf" head LIMIT 5)
expect("drawAxis's PDF" "${head}" "^%PDF-")
file(SIZE "${work}/axis.pdf" pdfSize)
if(pdfSize LESS 1000)
    fail("drawAxis's PDF is only ${pdfSize} bytes")
endif()

file(REMOVE_RECURSE "${work}")
message(STATUS "installed, built against and ran: all checks passed")
