// The player: stream blocks of a device's live view in, H.264 decoded on a thread of the
// player, frames and information reports (focus status as JSON text) out through callbacks.
// No native window is drawn into: the window given to PlayerPlay is kept as a token, and
// pictures leave through the decode callback. Ports are 1..kPlayerMaxPorts; 0 is "none".
#pragma once

#include "os/WinTypes.h"

constexpr LONG kPlayerMaxPorts = 64;

// Frame types of the decode callback.
constexpr int32_t T_YV12 = 3; // planar 4:2:0: Y, then V, then U

struct FRAME_INFO {
    int32_t nWidth;
    int32_t nHeight;
    int32_t nStamp;     // frame number in the stream
    int32_t nType;      // T_YV12
    int32_t nFrameRate;
};
static_assert(sizeof(FRAME_INFO) == 20, "FRAME_INFO is 20 bytes");

// Information report: JSON text, then four values the caller need not read (port, report
// kind 1 = focus, text length, 0), then the user value.
typedef void (*fPlayerInfoCallBack)(const char* pJson, LONG nPort, LONG nKind, LONG nLen, LONG nReserved,
                                    void* pUser);
// Decoded picture: port, the frame data (Y, V, U planes back to back), its length, its
// description, the user value, reserved.
typedef void (*fDecodeCallBack)(LONG nPort, char* pBuf, LONG nSize, FRAME_INFO* pFrameInfo, void* pUser,
                                LONG nReserved);

BOOL PlayerGetFreePort(LONG* plPort);
// FALSE also when the video decoder library cannot be loaded (see PlayerDecoderLoaded).
BOOL PlayerOpenStream(LONG nPort, BYTE* pFileHeadBuf, DWORD nSize, DWORD nBufPoolSize);
BOOL PlayerPlay(LONG nPort, HWND hWnd);
// Takes one block of the device stream (any cut of the byte stream is accepted); FALSE when the
// port does not play or its stream buffer is full (the data is dropped).
BOOL PlayerInputData(LONG nPort, BYTE* pBuf, DWORD nSize);
BOOL PlayerSetInfoCallBack(LONG nPort, fPlayerInfoCallBack cb, void* pUser);
// Removes the decode callback (cb must be NULL).
BOOL PlayerClearCallBack(LONG nPort, void* cb, void* pUser);
BOOL PlayerStop(LONG nPort);
BOOL PlayerCloseStream(LONG nPort);
BOOL PlayerReleasePort(LONG nPort);
// Frames decoded since the stream was opened.
int PlayerQueryTime(LONG nPort);

// Installs the decode callback (NULL removes it).
BOOL PlayerSetDecodeCallBack(LONG nPort, fDecodeCallBack cb, void* pUser);

// Statistics of a port, for diagnostics and tests.
struct PLAYER_STATS {
    int32_t nFramesDecoded;
    int32_t nBlocksTaken;
    int32_t nBlocksDropped;   // damaged, over-long or not decodable
    int32_t nLastWidth;
    int32_t nLastHeight;
};
BOOL PlayerGetStats(LONG nPort, PLAYER_STATS* pStats);

// Loads the video decoder library if not yet done; TRUE when it is there. When it is not and
// pReason is given, the loader's reason is written there (cut to nSize - 1 bytes, terminated).
BOOL PlayerDecoderLoaded(char* pReason, DWORD nSize);
