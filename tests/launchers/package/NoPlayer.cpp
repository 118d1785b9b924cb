// A package that loads but registers no player.

extern "C" int LaunchersNoPlayerMarker() { return 1; }
