// The translator arrives with the message catalogs; this unit keeps the library buildable until then.
namespace talivo::i18n {
}
