// The settings folder, INI files and version information arrive here; this unit keeps the library
// buildable until then.
namespace talivo::settings {
}
