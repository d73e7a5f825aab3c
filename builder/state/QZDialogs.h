// The builder's dialogs, each created once at start-up and re-used; the
// windows reach them here. A dialog not (yet) made is null and its command
// does nothing.
#pragma once

class QDialog;
class QWidget;
class TRezultatDialog;

namespace CorvBuilder {

class TAbout;
class TBesediloLastnosti;
class TDaNeLastnosti;
class TGumbLastnosti;
class TInsertObjectDialog;
class TIzbireLastnosti;
class TMediaLastnosti;
class TNalogaLastnosti;
class TOleLastnosti;
class TOpenPassword;
class TPanelBesediloLastnosti;
class TResultsWindow;
class TSavePassword;
class TSkoci;
class TSlikaLastnosti;
class TStranLastnosti;
class TVnosnoOknoLastnosti;

struct TBuilderDialogs
{
    TVnosnoOknoLastnosti *VnosnoOkno = nullptr;
    TIzbireLastnosti *Izbire = nullptr;
    QDialog *Memo = nullptr;
    TSlikaLastnosti *Slika = nullptr;
    TOleLastnosti *Ole = nullptr;
    TDaNeLastnosti *DaNe = nullptr;
    TBesediloLastnosti *Besedilo = nullptr;
    TPanelBesediloLastnosti *PanelBesedilo = nullptr;
    TMediaLastnosti *Media = nullptr;
    TSkoci *Skoci = nullptr;
    TGumbLastnosti *Gumb = nullptr;
    TStranLastnosti *Stran = nullptr;
    TNalogaLastnosti *Naloga = nullptr;
    TRezultatDialog *Rezultat = nullptr;
    TAbout *About = nullptr;
    TSavePassword *SavePassword = nullptr;
    TOpenPassword *OpenPassword = nullptr;
    QWidget *Explorer = nullptr;
    QDialog *Wizard = nullptr;
    TInsertObjectDialog *InsertObject = nullptr;
    TResultsWindow *Results = nullptr;
};

// The dialogs of this run (all null until start-up makes them).
TBuilderDialogs &Dialogs();

} // namespace CorvBuilder
