// SPDX-License-Identifier: GPL-3.0-or-later
/* ImageUtils: turns a BMP file into a JPEG file. Plain C interface, loaded at run time. */
#pragma once

#ifdef _WIN32
#define IMAGEUTILS_EXPORT __declspec(dllexport)
#else
#define IMAGEUTILS_EXPORT __attribute__((visibility("default")))
#endif

enum {
    ImageUtilsOk = 0,
    ImageUtilsBadArgument = -1,
    ImageUtilsCannotReadBitmap = -2,
    ImageUtilsNotABitmap = -3,
    ImageUtilsBitmapTooLarge = -4,
    ImageUtilsEncodeFailed = -5,
    ImageUtilsCannotWriteJpeg = -6
};

/* quality: 1..100, or -1 for the default (98: the saved card looks like the card on screen).
   chroma: 0 keeps full colour resolution (4:4:4), 1 halves it both ways (4:2:0).
   flags: 0 accurate DCT; 1 fast DCT.                                                          */
enum { ImageUtilsDefaultQuality = -1, ImageUtilsChroma444 = 0, ImageUtilsChroma420 = 1 };
enum { ImageUtilsNoFlags = 0, ImageUtilsFastDct = 1 };

/* The largest bitmap accepted, a side; larger headers are refused before anything is allocated. */
enum { ImageUtilsMaxSide = 16384 };

#ifdef __cplusplus
extern "C" {
#endif

/* Reads the BMP at bmpPath (8-bit paths, as the system names files) and writes it as a JPEG at
   jpgPath. The JPEG is written to a temporary file first and put in place only when complete,
   so a failure never leaves a half file or destroys a file already there. Returns ImageUtilsOk
   or one of the negative codes above. */
IMAGEUTILS_EXPORT int ConvertBMPtoJPG(const char* bmpPath, const char* jpgPath, int quality,
                                      int chroma, int flags);

#ifdef __cplusplus
}

inline const char* ImageUtilsErrorText(int code)
{
    switch (code) {
    case ImageUtilsOk: return "no error";
    case ImageUtilsBadArgument: return "the converter was called with invalid arguments";
    case ImageUtilsCannotReadBitmap: return "the bitmap file could not be read";
    case ImageUtilsNotABitmap: return "the bitmap file is not a BMP picture the converter reads";
    case ImageUtilsBitmapTooLarge: return "the bitmap is too large to convert";
    case ImageUtilsEncodeFailed: return "the JPEG encoder failed";
    case ImageUtilsCannotWriteJpeg:
        return "the JPEG file could not be written (is the folder writable and the disk not full?)";
    default: return "the converter failed";
    }
}
#endif
