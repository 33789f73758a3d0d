#pragma once
// The class versions of the fit bases and point lists, for every source that archives them
// or a pointer to them (the fit classes and the fit tools).

#include <Geometry/Implementation/FitBase.h>
#include <Geometry/Implementation/FitResultBase.h>
#include <Geometry/Private/FitPoints.h>

#include "ClassVersions.h"

OSTREL_GEOMETRY_CLASS_VERSION(Private::ReadOnlyPoints)
OSTREL_GEOMETRY_CLASS_VERSION(Private::ReadWritePoints)
OSTREL_GEOMETRY_CLASS_VERSION(Implementation::FitBase)
OSTREL_GEOMETRY_CLASS_VERSION(Implementation::FitResultBase)
