#pragma once

// The player's build of the catalog: the pictures of the playing show, from
// which the user starts the show again or jumps to a picture. Nothing in it
// changes the show.

#include <functional>

class TCatalogForm;
class TShowForm;

namespace PlayerCatalog {

// Runs the catalog modally over the playing show of Form; its start
// commands set Form's CatalogStopMode or CatalogChoice and close it.
void Run(TShowForm& Form);

// Runs the open catalog (modally by default); tests drive it instead.
extern std::function<void(TCatalogForm& Catalog)> OnShown;

} // namespace PlayerCatalog
