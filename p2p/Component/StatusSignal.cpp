#include "Component/StatusSignal.h"
