// Archive registration of the graphics: each concrete class under its qualified name,
// with the relations that let cereal cast between it and Ostrel::Quill::IObject. The
// class versions are declared beside the classes, where every archive sees them.
#include <Ostrel/Vision/Cereal.h>

#include <Ostrel/Vision/Circle.h>
#include <Ostrel/Vision/CircularArc.h>
#include <Ostrel/Vision/CompositeShape.h>
#include <Ostrel/Vision/Ellipse.h>
#include <Ostrel/Vision/GraphicLabel.h>
#include <Ostrel/Vision/Line.h>
#include <Ostrel/Vision/LineSegment.h>
#include <Ostrel/Vision/PointMarker.h>
#include <Ostrel/Vision/Polygon.h>

#define OSTREL_REGISTER_GRAPHIC(Class)                                              \
    CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::Class, "Ostrel::Vision::" #Class) \
    CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Vision::GraphicBase, Ostrel::Vision::Class)

OSTREL_REGISTER_GRAPHIC(Circle)
OSTREL_REGISTER_GRAPHIC(Ellipse)
OSTREL_REGISTER_GRAPHIC(Line)
OSTREL_REGISTER_GRAPHIC(LineSegment)
OSTREL_REGISTER_GRAPHIC(Polygon)
OSTREL_REGISTER_GRAPHIC(PointMarker)
OSTREL_REGISTER_GRAPHIC(CircularArc)
OSTREL_REGISTER_GRAPHIC(GraphicLabel)
OSTREL_REGISTER_GRAPHIC(CompositeShape)

CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::IObject, Ostrel::Vision::GraphicBase)
CEREAL_REGISTER_TYPE_WITH_NAME(Ostrel::Vision::GraphicCollection, "Ostrel::Vision::GraphicCollection")
CEREAL_REGISTER_POLYMORPHIC_RELATION(Ostrel::Quill::IObject, Ostrel::Vision::GraphicCollection)
