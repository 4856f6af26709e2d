#include "SysConfig/QrEncodeLib.h"

#include "os/RuntimeLib.h"

namespace {

QrEncodeLib g_qr{};

void Bind(os::RuntimeLib& l)
{
    l.Bind(g_qr.QRcode_encodeString, "QRcode_encodeString");
    l.Bind(g_qr.QRcode_free, "QRcode_free");
}

} // namespace

os::RuntimeLib& QrEncodeRuntimeLib()
{
    static os::RuntimeLib lib(VX_QRENCODE_SONAME, Bind);
    return lib;
}

const QrEncodeLib* LoadQrEncodeLib() { return QrEncodeRuntimeLib().Load() ? &g_qr : nullptr; }

std::string QrEncodeLibError() { return QrEncodeRuntimeLib().Error(); }
