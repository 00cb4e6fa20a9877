#pragma once

// Window translation: TranslateComponent walks a window and every object it owns and replaces
// each text by its translation in a domain of the translator (Translation.h).
//
// How the walk sees Qt objects:
// - Every object is a QObject; its class and ancestors are its QMetaObject chain, and a class
//   rule applies to a class and to every class derived from it (QMetaObject::inherits).
// - Its texts are its writable QString properties as the meta-object lists them, inherited ones
//   first, including the properties our own classes declare. Dynamic properties set at run time
//   are not texts of the design and are left alone. A component's name is its objectName, which
//   is never translated.
// - Its string lists are its writable QStringList properties, translated line by line.
// - The objects it refers to are the values of its QObject-pointer properties.
// - The objects it owns are its children(), in order; actions are reached as the children of the
//   menus, tool bars and windows that own them.
// - Texts that Qt keeps outside properties are reached by class handlers (QtClassRules.h): the
//   header items of QTableWidget and QTreeWidget and the entries of QComboBox. The rows of tables,
//   trees and lists are the user's data and are never translated.
//
// All functions act on the process-wide translator and belong to the GUI thread.

#include "i18n/ClassMode.h"

#include <QString>

class QObject;
struct QMetaObject;

namespace talivo {

// Translates the component once, in the domain given or, when that is empty, the current one;
// see TComponentTranslator::TranslateComponent.
void TranslateComponent(QObject &component, const QString &textDomain = QString());
// Moves a translated component to the current language.
void RetranslateComponent(QObject &component);

// Permanent rules: leave out one property of a class, a whole class, or hand the objects of a
// class to a handler instead of translating them.
void TR_GlobalIgnoreClassProperty(const QMetaObject &hClass, const QString &propertyName);
void TR_GlobalIgnoreClass(const QMetaObject &hClass);
void TR_GlobalHandleClass(const QMetaObject &hClass, TClassHandler handler);
// For the next translation only: leave out a class, or a component name or a key of the form
// component name + "." + property name (the translated component itself has the empty name).
// The object only mirrors the call form that the error messages suggest.
void TR_IgnoreClass(const QMetaObject &hClass);
void TR_Ignore(const QObject &object, const QString &name);

} // namespace talivo
