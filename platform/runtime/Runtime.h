// The object runtime: classes by name, selectors, typed message sending,
// method replacement and instance variables by name.
#pragma once

#include "Class.h"
#include "ClassBuilder.h"
#include "Exception.h"
#include "Hook.h"
#include "Message.h"
#include "Object.h"
#include "Selector.h"
