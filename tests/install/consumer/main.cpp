#include <iostream>

#include <Geometry/LibraryInfo.h>
#include <Ostrel/Vision/Exceptions.h>
#include <Ostrel/Vision/Strings.h>

int main()
{
    using namespace Ostrel::Vision;
    try {
        throw ArgumentNullException(Strings::Substitute(Strings::IDS_Ost_InvalidArgNull_1, {"InputImage"}));
    } catch (const VisionException& e) {
        std::cout << "geometry " << Geometry::LibraryVersion() << ": " << e.Message() << "\n";
    }
    return 0;
}
