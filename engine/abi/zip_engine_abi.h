/* The records, callbacks and exports shared by the extraction engine
 * (ZipEngine190.dll) and the driver that loads it. Plain C, so either side
 * may be written in any language; both include this one header.
 *
 * Field order and field types are those of the original 32-bit records;
 * pointer-sized fields are native pointers, so the byte offsets depend on the
 * build. Both layouts, little-endian:
 *
 *   TDLLCommands          32-bit  64-bit      TZCallBackStruct   32-bit  64-bit
 *     fHandle                  0       0        Caller                0       0
 *     fCaller                  4       8        Version               4       8
 *     fVersion                 8      16        IsOperationZip        8      12
 *     ZCallbackFunc           12      24        ActionCode           12      16
 *     ZStreamFunc             16      32        HaveWide             16      20
 *     fVerbosity              20      40        MsgP                 20      24
 *     fEncodedAs              24      44        Msg2P                24      32
 *     fSS                     28      48        File_Size            28      40
 *     fFromPage               32      56        Written              36      48
 *     fOptions                36      60        Arg1                 44      56
 *     fPwdReqCount            40      64        Arg2                 48      60
 *     fEncodeAs               44      68        Arg3                 52      64
 *     fLevel                  48      72        Check                56      68
 *     fDate                   52      76        (size)               60      72
 *     fNotUsed (16 bytes)     56      80
 *     fCheck                  72      96      TZSSArgs
 *     (size)                  76     104        Method                0       0
 *                                               CRC                   4       4
 *   TZStreamRec                                 Size                  8       8
 *     Caller                   0       0        fSSInput             16      16
 *     Version                  4       8        fSSOutput            20      24
 *     StrmP                    8      16        (size)               24      32
 *     Number                  12      24
 *     OpCode                  16      28
 *     BufP                    20      32
 *     ArgLL                   24      40
 *     ArgI                    32      48
 *     ArgD                    36      52
 *     ArgA                    40      56
 *     Check                   44      60
 *     (size)                  48      64
 *
 * The 32-bit layout packs 64-bit integers on 4-byte boundaries; the 64-bit
 * layout is the platform's natural alignment. The build checks its own.
 */
#ifndef LUNARO_ZIP_ENGINE_ABI_H
#define LUNARO_ZIP_ENGINE_ABI_H

#include <stddef.h>
#include <stdint.h>

#if defined(__i386__) || defined(_M_IX86)
#  if defined(_MSC_VER)
#    define ZE_STDCALL __stdcall
#  else
#    define ZE_STDCALL __attribute__((stdcall))
#  endif
#else
#  define ZE_STDCALL
#endif

#if defined(_WIN32)
#  define ZE_EXPORT __declspec(dllexport)
#else
#  define ZE_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum {
    ZE_ENGINE_VERSION = 190,            /* ZE_Version and TDLLCommands.fVersion */
    ZE_MIN_PRIV_VERSION = 1900095,      /* ZE_PrivVersion is at least this */
    ZE_CALLBACK_CHECK = 1799,           /* TZCallBackStruct.Check */
    ZE_STREAM_CHECK = 1803,             /* TZStreamRec.Check */
    ZE_NAME_BUFFER_CHARS = 260          /* the bufsiz the driver hands ZE_Name */
};
#define ZE_COMMAND_CHECK 0x03070505u    /* TDLLCommands.fCheck */

/* Callback actions: ActionCode's low 6 bits. */
typedef enum TActionCodes {
    zacTick = 0,
    zacItem = 1,
    zacProgress = 2,
    zacEndOfBatch = 3,
    zacCount = 4,
    zacSize = 5,
    zacXItem = 6,
    zacXProgress = 7,
    zacMessage = 8,
    zacNewName = 9,
    zacPassword = 10,
    zacCRCError = 11,
    zacOverwrite = 12,
    zacSkipped = 13,
    zacComment = 14,
    zacData = 15,
    zacExtName = 16,
    zacNone = 17,
    zacKey = 18,
    zacArg = 19,
    zacWinErr = 20
} TActionCodes;
#define ZE_ACTION_MASK 63

/* zacArg selectors (Arg1). */
enum {
    ZE_ARG_TARGET = 0,          /* archive path */
    ZE_ARG_PASSWORD = 1,
    ZE_ARG_ROOT_DIR = 2,
    ZE_ARG_EXTRACT_DIR = 3,     /* ExtrBaseDir */
    ZE_ARG_COMMENT = 4,         /* 8-bit bytes, Arg1 := length */
    ZE_ARG_SPEC = 5,            /* item Arg3; Arg3 := count; answer 0 past the end */
    ZE_ARG_SPEC_EXCLUDE = 6,
    ZE_ARG_STORE_LIST = 7,
    ZE_ARG_TEMP_DIR = 8
};

/* Answers to zacPassword. */
enum {
    ZE_PASSWORD_GIVEN = 1,      /* MsgP holds the password */
    ZE_PASSWORD_NONE = 2,       /* skip this entry */
    ZE_PASSWORD_NONE_ALL = 3,   /* skip every encrypted entry */
    ZE_PASSWORD_ABORT = -3
};
/* Answers to zacOverwrite (0: no handler, follow the options). */
enum { ZE_OVERWRITE_YES = 1, ZE_OVERWRITE_NO = 2 };
/* zacOverwrite Arg3: 2 when the existing file is newer than the entry. */
enum { ZE_EXISTING_OLDER = 1, ZE_EXISTING_NEWER = 2 };
/* Answers to zacCRCError (0: no handler). */
enum { ZE_CRC_KEEP = 1, ZE_CRC_DISCARD = 3 };
/* Any callback answer that cancels the run. */
enum { ZE_ANSWER_CANCEL = -2, ZE_ANSWER_HANDLER_FAILED = -4, ZE_ANSWER_BAD_RECORD = -5 };

/* zacSkipped Arg2: the skip type's ordinal plus one. */
enum {
    ZE_SKIP_ON_FRESHEN = 1,
    ZE_SKIP_NO_OVERWRITE = 2,
    ZE_SKIP_FILE_EXISTS = 3,
    ZE_SKIP_BAD_PASSWORD = 4,
    ZE_SKIP_BAD_NAME = 5,
    ZE_SKIP_COMPRESSION_UNKNOWN = 6,
    ZE_SKIP_UNKNOWN_ZIP_HOST = 7,
    ZE_SKIP_FORMAT_WRONG = 8,
    ZE_SKIP_GENERAL_EXTRACT_ERROR = 9,
    ZE_SKIP_USER = 10,
    ZE_SKIP_CANNOT_DO = 11,
    ZE_SKIP_NOT_FOUND = 12,
    ZE_SKIP_NO_SHARE = 13,
    ZE_SKIP_NO_ACCESS = 14,
    ZE_SKIP_NO_OPEN = 15,
    ZE_SKIP_DUP_NAME = 16,
    ZE_SKIP_READ_ERROR = 17,
    ZE_SKIP_SIZE_CHANGE = 18
};

/* Error magnitudes: ZE_Exec returns -m; zacMessage and zacSkipped carry m in
 * Arg1's low byte. Message identifier 11648 + m names each one. */
enum {
    ZE_ERR_CANCELLED = 1,
    ZE_ERR_ABORTED = 2,
    ZE_ERR_CALLBACK = 3,
    ZE_ERR_NO_MEMORY = 4,
    ZE_ERR_STRUCTURE = 5,
    ZE_ERR_FATAL = 6,
    ZE_ERR_PASSWORD_FAILED = 7,
    ZE_ERR_PASSWORD_CANCELLED = 8,
    ZE_ERR_ZIP_STRUCTURE = 9,
    ZE_ERR_NO_CENTRAL = 10,
    ZE_ERR_ZIP_EOF = 11,
    ZE_ERR_PREMATURE_EOF = 12,
    ZE_ERR_OPEN_ZIP = 13,
    ZE_ERR_MULTI_PART = 14,
    ZE_ERR_NOT_FOUND = 15,
    ZE_ERR_LOGIC = 16,
    ZE_ERR_NOTHING_TO_DO = 17,
    ZE_ERR_BAD_OPTIONS = 18,
    ZE_ERR_TEMP_FILE = 19,
    ZE_ERR_NO_PERMISSION = 20,
    ZE_ERR_READ = 21,
    ZE_ERR_CREATE = 22,
    ZE_ERR_WRITE = 23,
    ZE_ERR_SEEK = 24,
    ZE_ERR_EMPTY_ZIP = 25,
    ZE_ERR_INVALID_NAME = 26,
    ZE_ERR_GENERAL = 27,
    ZE_ERR_NOTHING_FOUND = 28,
    ZE_ERR_WARNING = 29,
    ZE_ERR_DELETE = 30,
    ZE_ERR_IMPORT = 31,
    ZE_ERR_SKIPPING = 32,
    ZE_ERR_LOCKED = 33,
    ZE_ERR_DENIED = 34,
    ZE_ERR_DUP_NAME = 35,
    ZE_ERR_LAST = 36            /* below -36: critical error */
};
/* zacMessage Arg1 flags: bit 0x800 with a class (0x700) of at least 0x200
 * asks the driver to put the error's text in front of the message. */
#define ZE_MSG_CLASS_MASK 0x700u
#define ZE_MSG_CLASS_ERROR 0x200u
#define ZE_MSG_PREFIX_TEXT 0x800u

/* fOptions bits. */
#define ZE_OPT_ADD              0x00000001u
#define ZE_OPT_EXTRACT          0x00000004u
#define ZE_OPT_TEST             0x00000008u
#define ZE_OPT_ALWAYS           0x00000020u  /* set by the driver on every call */
#define ZE_OPT_UPDATE           0x00000080u
#define ZE_OPT_FRESHEN          0x00000100u
#define ZE_OPT_DIR_NAMES        0x00000200u  /* extract: keep the entries' folders */
#define ZE_OPT_OVERWRITE        0x00000400u
#define ZE_OPT_NO_EMPTY_DIRS    0x00000800u
#define ZE_OPT_NO_DIR_NAMES     0x00001000u  /* add */
#define ZE_OPT_RECURSE          0x00002000u
#define ZE_OPT_NOT_SAFE         0x00004000u
#define ZE_OPT_MOVE             0x00010000u
#define ZE_OPT_HIDDEN           0x00020000u
#define ZE_OPT_ZIP_TIME         0x00080000u
#define ZE_OPT_ARCHIVE_ONLY     0x00100000u
#define ZE_OPT_RESET_ARCHIVE    0x00200000u
#define ZE_OPT_VERSION          0x00400000u
#define ZE_OPT_ALLOW_UNDO       0x00800000u
#define ZE_OPT_ENCRYPT          0x02000000u
#define ZE_OPT_VOLUME           0x04000000u
#define ZE_OPT_NTFS             0x08000000u  /* extract: restore stored times */

#define ZE_OPT_DELETE  0x00000002u  /* engine's own bit: delete the selected entries */
#define ZE_OPT_RENAME  0x00000010u  /* engine's own bit: rename entries "OLD|NEW" */
#define ZE_RENAME_SEPARATOR '|'
#define ZE_OPT_COMMENT 0x00000040u  /* engine's own bit, with ZE_OPT_RENAME: the archive takes the comment of zacArg 4 */

/* Stream operations (TZStreamRec.OpCode). */
enum {
    ZE_STREAM_IDENTIFY = 0,     /* ArgLL := size, ArgD := DOS date, ArgA := attributes */
    ZE_STREAM_OPEN = 1,         /* StrmP := the stream */
    ZE_STREAM_CLOSE = 2,
    ZE_STREAM_SEEK = 3,         /* by ArgLL from origin ArgI (0 start, 1 current, 2 end) */
    ZE_STREAM_READ = 4,         /* up to ArgI bytes into BufP; ArgI := bytes read */
    ZE_STREAM_WRITE = 5         /* ArgI bytes from BufP; ArgI := bytes written */
};

#if defined(__i386__) || defined(_M_IX86)
#  pragma pack(push, 4)
#endif

typedef struct TZCallBackStruct {
    void* Caller;
    int32_t Version;
    int32_t IsOperationZip;     /* LongBool */
    int32_t ActionCode;
    int32_t HaveWide;
    uint8_t* MsgP;
    uint8_t* Msg2P;
    int64_t File_Size;
    int64_t Written;
    uint32_t Arg1;
    uint32_t Arg2;
    int32_t Arg3;
    uint32_t Check;
} TZCallBackStruct;

typedef struct TZStreamRec {
    void* Caller;
    int32_t Version;
    void* StrmP;
    int32_t Number;
    int32_t OpCode;
    uint8_t* BufP;
    int64_t ArgLL;
    int32_t ArgI;
    uint32_t ArgD;
    uint32_t ArgA;
    uint32_t Check;
} TZStreamRec;

typedef struct TZSSArgs {
    uint32_t Method;            /* 8 deflate, 0 store */
    uint32_t CRC;
    int64_t Size;               /* bytes to read */
    void* fSSInput;
    void* fSSOutput;
} TZSSArgs;

typedef int32_t(ZE_STDCALL* TZFunctionPtr)(TZCallBackStruct* rec);
typedef int32_t(ZE_STDCALL* TZStreamFunctionPtr)(TZStreamRec* rec);

typedef struct TDLLCommands {
    intptr_t fHandle;           /* window handle; 0 when unattended */
    void* fCaller;
    int32_t fVersion;
    TZFunctionPtr ZCallbackFunc;
    TZStreamFunctionPtr ZStreamFunc;
    int32_t fVerbosity;         /* 0 off, 1 verbose, -1 trace */
    uint32_t fEncodedAs;
    TZSSArgs* fSS;
    uint32_t fFromPage;
    uint32_t fOptions;
    uint32_t fPwdReqCount;
    uint32_t fEncodeAs;
    int32_t fLevel;
    uint32_t fDate;
    uint8_t fNotUsed[16];
    uint32_t fCheck;
} TDLLCommands;

#if defined(__i386__) || defined(_M_IX86)
#  pragma pack(pop)
#endif

/* The exports, resolved by name in this order. */
typedef int32_t(ZE_STDCALL* TZE_Exec)(TDLLCommands* rec);
typedef int32_t(ZE_STDCALL* TZE_Version)(void);
typedef int32_t(ZE_STDCALL* TZE_PrivVersion)(void);
typedef int32_t(ZE_STDCALL* TZE_Abort)(uint32_t key);
/* Writes the library's own path into buf (UTF-16 when wide, else 8-bit),
 * at most bufsiz characters plus a terminating zero; returns the length. */
typedef int32_t(ZE_STDCALL* TZE_Name)(void* buf, int32_t bufsiz, uint8_t wide);
typedef const char*(ZE_STDCALL* TZE_Banner)(void);
typedef const char*(ZE_STDCALL* TZE_Path)(void);

ZE_EXPORT int32_t ZE_STDCALL ZE_Exec(TDLLCommands* rec);
ZE_EXPORT int32_t ZE_STDCALL ZE_Version(void);
ZE_EXPORT int32_t ZE_STDCALL ZE_PrivVersion(void);
ZE_EXPORT int32_t ZE_STDCALL ZE_Abort(uint32_t key);
ZE_EXPORT int32_t ZE_STDCALL ZE_Name(void* buf, int32_t bufsiz, uint8_t wide);
ZE_EXPORT const char* ZE_STDCALL ZE_Banner(void);
ZE_EXPORT const char* ZE_STDCALL ZE_Path(void);

#ifdef __cplusplus
} /* extern "C" */
#endif

/* The layout this build uses (see the table above). */
#if defined(__cplusplus)
#  define ZE_LAYOUT_ASSERT(cond, text) static_assert(cond, text)
#else
#  define ZE_LAYOUT_ASSERT(cond, text) _Static_assert(cond, text)
#endif
#if UINTPTR_MAX == 0xFFFFFFFFu
ZE_LAYOUT_ASSERT(sizeof(TDLLCommands) == 76, "TDLLCommands is 76 bytes");
ZE_LAYOUT_ASSERT(offsetof(TDLLCommands, fSS) == 28, "TDLLCommands.fSS");
ZE_LAYOUT_ASSERT(offsetof(TDLLCommands, fNotUsed) == 56, "TDLLCommands.fNotUsed");
ZE_LAYOUT_ASSERT(offsetof(TDLLCommands, fCheck) == 72, "TDLLCommands.fCheck");
ZE_LAYOUT_ASSERT(sizeof(TZCallBackStruct) == 60, "TZCallBackStruct is 60 bytes");
ZE_LAYOUT_ASSERT(offsetof(TZCallBackStruct, File_Size) == 28, "TZCallBackStruct.File_Size");
ZE_LAYOUT_ASSERT(offsetof(TZCallBackStruct, Check) == 56, "TZCallBackStruct.Check");
ZE_LAYOUT_ASSERT(sizeof(TZStreamRec) == 48, "TZStreamRec is 48 bytes");
ZE_LAYOUT_ASSERT(offsetof(TZStreamRec, ArgLL) == 24, "TZStreamRec.ArgLL");
ZE_LAYOUT_ASSERT(offsetof(TZStreamRec, Check) == 44, "TZStreamRec.Check");
ZE_LAYOUT_ASSERT(sizeof(TZSSArgs) == 24, "TZSSArgs is 24 bytes");
#else
ZE_LAYOUT_ASSERT(sizeof(TDLLCommands) == 104, "TDLLCommands is 104 bytes");
ZE_LAYOUT_ASSERT(offsetof(TDLLCommands, fCaller) == 8, "TDLLCommands.fCaller");
ZE_LAYOUT_ASSERT(offsetof(TDLLCommands, fVersion) == 16, "TDLLCommands.fVersion");
ZE_LAYOUT_ASSERT(offsetof(TDLLCommands, ZCallbackFunc) == 24, "TDLLCommands.ZCallbackFunc");
ZE_LAYOUT_ASSERT(offsetof(TDLLCommands, fSS) == 48, "TDLLCommands.fSS");
ZE_LAYOUT_ASSERT(offsetof(TDLLCommands, fOptions) == 60, "TDLLCommands.fOptions");
ZE_LAYOUT_ASSERT(offsetof(TDLLCommands, fNotUsed) == 80, "TDLLCommands.fNotUsed");
ZE_LAYOUT_ASSERT(offsetof(TDLLCommands, fCheck) == 96, "TDLLCommands.fCheck");
ZE_LAYOUT_ASSERT(sizeof(TZCallBackStruct) == 72, "TZCallBackStruct is 72 bytes");
ZE_LAYOUT_ASSERT(offsetof(TZCallBackStruct, MsgP) == 24, "TZCallBackStruct.MsgP");
ZE_LAYOUT_ASSERT(offsetof(TZCallBackStruct, File_Size) == 40, "TZCallBackStruct.File_Size");
ZE_LAYOUT_ASSERT(offsetof(TZCallBackStruct, Arg1) == 56, "TZCallBackStruct.Arg1");
ZE_LAYOUT_ASSERT(offsetof(TZCallBackStruct, Check) == 68, "TZCallBackStruct.Check");
ZE_LAYOUT_ASSERT(sizeof(TZStreamRec) == 64, "TZStreamRec is 64 bytes");
ZE_LAYOUT_ASSERT(offsetof(TZStreamRec, StrmP) == 16, "TZStreamRec.StrmP");
ZE_LAYOUT_ASSERT(offsetof(TZStreamRec, BufP) == 32, "TZStreamRec.BufP");
ZE_LAYOUT_ASSERT(offsetof(TZStreamRec, ArgLL) == 40, "TZStreamRec.ArgLL");
ZE_LAYOUT_ASSERT(offsetof(TZStreamRec, Check) == 60, "TZStreamRec.Check");
ZE_LAYOUT_ASSERT(sizeof(TZSSArgs) == 32, "TZSSArgs is 32 bytes");
ZE_LAYOUT_ASSERT(offsetof(TZSSArgs, fSSOutput) == 24, "TZSSArgs.fSSOutput");
#endif
#undef ZE_LAYOUT_ASSERT

#endif /* LUNARO_ZIP_ENGINE_ABI_H */
