// Idle stand-in of the template editor; see the header.
#include "Template/CTemplateEditEventImp.h"

#include "Template/CTemplateLoadEventImp.h"

CTemplateEditEventImp::CTemplateEditEventImp() : m_pLoadPage(CTemplateLoadEventImp::Create({})) {}
