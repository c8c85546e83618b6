// The C interface of our decoder library "wuvorbis.dll" (built from platform/wuvorbis/): 33 wu_
// exports, plain types only. The sound library binds these by name at run time; it never links
// the library.
#pragma once
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// The 960-byte state block a caller owns and passes to every call; opaque to the caller.
enum { kWuStateBytes = 960 };

// Stream callbacks, passed by value: read, seek, close, tell (the decoder's own layout).
typedef struct WuCallbacks {
  size_t (*read_func)(void* ptr, size_t size, size_t nmemb, void* datasource);
  int (*seek_func)(void* datasource, int64_t offset, int whence);
  int (*close_func)(void* datasource);
  long (*tell_func)(void* datasource);
} WuCallbacks;

// The head of the decoder's stream information record.
typedef struct WuInfo {
  int version;
  int channels;
  long rate;
} WuInfo;

// The decoder's comment record.
typedef struct WuComment {
  char** user_comments;
  int* comment_lengths;
  int comments;
  char* vendor;
} WuComment;

// Error value of every entry point given a cleared (or never opened) state block.
enum { kWuEInval = -131 };

typedef void (*WuSetCPUTypeFn)(int type);
typedef int (*WuDetectCPUFn)(void);
typedef void (*WuScaleOutputFn)(int scale);
typedef WuInfo* (*WuInfoFn)(void* vf, int link);
typedef int (*WuClearFn)(void* vf);
typedef int (*WuOpenCallbacksFn)(void* datasource, void* vf, const char* initial, long ibytes,
                                 WuCallbacks callbacks);
typedef int (*WuTestCallbacksFn)(void* datasource, void* vf, const char* initial, long ibytes,
                                 WuCallbacks callbacks);
typedef int (*WuTestOpenFn)(void* vf);
typedef long (*WuBitrateFn)(void* vf, int link);
typedef long (*WuBitrateInstantFn)(void* vf);
typedef long (*WuStreamsFn)(void* vf);
typedef long (*WuSerialNumberFn)(void* vf, int link);
typedef long (*WuSeekableFn)(void* vf);
typedef int64_t (*WuRawTotalFn)(void* vf, int link);
typedef double (*WuTimeTotalFn)(void* vf, int link);
typedef int64_t (*WuPcmTotalFn)(void* vf, int link);
typedef int (*WuSeekI64Fn)(void* vf, int64_t pos);
typedef int (*WuSeekDoubleFn)(void* vf, double pos);
typedef int64_t (*WuTellI64Fn)(void* vf);
typedef double (*WuTimeTellFn)(void* vf);
typedef WuComment* (*WuCommentFn)(void* vf, int link);
typedef long (*WuReadFloatFn)(void* vf, float*** pcm, int samples, int* bitstream);
typedef long (*WuReadFn)(void* vf, char* buffer, int length, int bigendianp, int word, int sgned,
                         int* bitstream);
typedef int (*WuCrosslapFn)(void* vf1, void* vf2);

#ifdef __cplusplus
}
#endif
