// Kestrun is assembled from the object libraries of the show core, the
// component library and the image-format library; this unit only gives the
// shared library a translation unit of its own.
