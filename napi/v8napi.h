#pragma once
// The host bridge: everything the platform's Native API requires of an
// external component.
#include "napi/ClassRegistry.h"
#include "napi/V8ComponentObject.h"
#include "napi/V8HostInterfaces.h"
#include "napi/V8Trace.h"
#include "napi/V8UserObject.h"
#include "napi/V8Variant.h"
