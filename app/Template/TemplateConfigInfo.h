// One device of a template apply run and the flags of its outcome. GUI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "Common/DevClass.h"

// Flag numbers of a device's result set.
enum TEMPLATE_CONFIG_RESULT {
    TEMPLATE_RESULT_NOT_STARTED = 0,  // the run was stopped before the device
    TEMPLATE_RESULT_OK = 1,           // started, no failure so far
    TEMPLATE_RESULT_LOGIN = 2,        // login failed
    TEMPLATE_RESULT_VIDEOCOLOR = 3,   // a section failed on at least one channel ...
    TEMPLATE_RESULT_BLCMODE = 4,
    TEMPLATE_RESULT_DAYNIGHT = 5,
    TEMPLATE_RESULT_ENCODE = 6,
    TEMPLATE_RESULT_FILEMANAGE = 14,
};

// 128 flags, handed out by value; read and written only through TestBit/SetBit/ClearBit.
struct TEMPLATE_RESULT_SET {
    uint32_t bits[SF_FLAG_WORDS];

    bool Test(int flag) const { return TestBit(bits, flag); }
    void Set(int flag) { SetBit(bits, flag); }
    void Clear(int flag) { ClearBit(bits, flag); }
    void ClearAll() { ClearAllBits(bits); }
};
static_assert(sizeof(TEMPLATE_RESULT_SET) == 128, "a result set is 128 bytes");

struct TEMPLATE_CONFIG_INFO {
    int port = 0;            // 0 stands for 37777
    std::string ip;          // with the MAC, names the device in the run
    std::string mac;
    std::string user;
    std::string password;
    int loginId = 0;
    int done = 0;            // 1 once finished or failed
    int downloadFlag = 0;
    int p2p = 0;             // reached through the P2P proxy
    int treeItem = 0;        // the device's row in the apply panel
    int downloadHandle = 0;
    TEMPLATE_RESULT_SET result{};
};
