// Device answers (JSON) into SDK records. Every text is cut to its field and terminated;
// every number is read with a type check, so a peer's bad answer never overruns a record.
#pragma once

#include "devsdk/DevSdkRecords.h"

#include <json/json.h>

#include <string>

namespace devsdk {

void CopyText(char* dst, size_t size, const std::string& s);
std::string TextField(const char* src, size_t size);

void FillNetInfo(const Json::Value& v, DEVICE_NET_INFO_EX& rec);
void FillLoginInfo(const Json::Value& v, SDK_LOGIN_DEVICE_INFO& rec);
void FillVersionInfo(const Json::Value& v, ZRDEV_VERSION_INFO& rec);
void FillSystemAttr(const Json::Value& v, ZRDEV_SYSTEM_ATTR_CFG& rec);
void FillTime(const Json::Value& v, SYNC_TIME_PARAM& rec);
// The other way: rec into v.
void PutTime(const SYNC_TIME_PARAM& rec, Json::Value& v);
void FillDspCaps(const Json::Value& v, ZRDEV_DSP_ENCODECAP& rec);
void FillTalkFormats(const Json::Value& v, ZRDEV_TALKFORMAT_LIST& rec);

} // namespace devsdk
