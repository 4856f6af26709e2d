// Print of the PTCP units: the Tou module at a base-library level.
#ifndef ORVAN_TOU_PTCPLOG_H
#define ORVAN_TOU_PTCPLOG_H

#include "Infra3/PrintLog.h"

#define PTCP_PRINT(level, ...) ::Orvan::Infra::printAtLevel((level), "Tou", __VA_ARGS__)

#endif
