#include "app/startup.h"

int main(int argc, char **argv)
{
    return modGlobal::Main(argc, argv);
}
