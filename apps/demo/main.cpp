#include <iostream>
#include <Geometry/LibraryInfo.h>
int main() { std::cout << "Ostrel geometry " << Ostrel::Vision::Geometry::LibraryVersion() << "\n"; }
