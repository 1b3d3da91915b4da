#pragma once

#include "qvrsac_export.h"

#include <cstdint>

// The header of a binary SAC file, field for field in the published layout: 70 floats,
// 40 integers (the last five are logicals) and 23 text fields of 8 bytes (kevnm has 16),
// 632 bytes in all. Undefined values are −12345 and the text "-12345".
struct QVRSAC_EXPORT SacHeader {
    static constexpr float undefinedValue = -12345.0f;
    static constexpr int32_t undefinedInteger = -12345;
    static constexpr int32_t currentVersion = 6;
    static constexpr int32_t timeSeriesType = 1; // iftype ITIME

    float delta, depmin, depmax, scale, odelta;
    float b, e, o, a, fmt;
    float t0, t1, t2, t3, t4, t5, t6, t7, t8, t9;
    float f;
    float resp0, resp1, resp2, resp3, resp4, resp5, resp6, resp7, resp8, resp9;
    float stla, stlo, stel, stdp, evla, evlo, evel, evdp, mag;
    float user0, user1, user2, user3, user4, user5, user6, user7, user8, user9;
    float dist, az, baz, gcarc, sb, sdelta, depmen, cmpaz, cmpinc;
    float xminimum, xmaximum, yminimum, ymaximum;
    float unused6, unused7, unused8, unused9, unused10, unused11, unused12;

    int32_t nzyear, nzjday, nzhour, nzmin, nzsec, nzmsec;
    int32_t nvhdr, norid, nevid, npts, nsnpts, nwfid, nxsize, nysize, unused15;
    int32_t iftype, idep, iztype, unused16, iinst, istreg, ievreg, ievtyp, iqual, isynth;
    int32_t imagtyp, imagsrc, unused19, unused20, unused21, unused22, unused23, unused24, unused25,
        unused26;
    int32_t leven, lpspol, lovrok, lcalda, unused27;

    char kstnm[8], kevnm[16], khole[8], ko[8], ka[8];
    char kt0[8], kt1[8], kt2[8], kt3[8], kt4[8], kt5[8], kt6[8], kt7[8], kt8[8], kt9[8];
    char kf[8], kuser0[8], kuser1[8], kuser2[8], kcmpnm[8], knetwk[8], kdatrd[8], kinst[8];

    // A header with every field undefined, as a new file starts.
    static SacHeader undefinedHeader();

    static constexpr int numericWords = 110; // floats and integers, byte-swapped as words
};

static_assert(sizeof(SacHeader) == 632, "SacHeader must have the SAC file layout");
