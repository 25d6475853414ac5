<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT">
<context>
    <name>MainWindow</name>
    <message>
        <source>ABS out of bounds</source>
        <translation>ABS fuori limite</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Acquire data</source>
        <translation>Acquisisci dati</translation>
    </message>
    <message>
        <source>Analysis</source>
        <translation>Analisi</translation>
    </message>
    <message>
        <source>Company address</source>
        <translation>Indirizzo azienda</translation>
    </message>
    <message>
        <source>Company name</source>
        <translation>Nome azienda</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Esci</translation>
    </message>
    <message>
        <source>Export Excel</source>
        <translation>Esporta in Excel</translation>
    </message>
    <message>
        <source>Export PDF</source>
        <translation>Esporta in PDF</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aiuto</translation>
    </message>
    <message>
        <source>Instrument name:</source>
        <translation>Nome strumento:</translation>
    </message>
    <message>
        <source>Laboratory</source>
        <translation>Laboratorio</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Lingua</translation>
    </message>
    <message>
        <source>Matrix</source>
        <translation>Matrice</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Nota</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Apri file</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>Operatore</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Pagina %1 di %2</translation>
    </message>
    <message>
        <source>Report signature</source>
        <translation>Firma del report</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Risultato</translation>
    </message>
    <message>
        <source>Sample</source>
        <translation>Campione</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Salva file</translation>
    </message>
    <message>
        <source>Select / deselect all items</source>
        <translation>Seleziona / deseleziona tutti i campioni</translation>
    </message>
    <message>
        <source>Serial number:</source>
        <translation>Matricola:</translation>
    </message>
    <message>
        <source>Symbols</source>
        <translation>Simboli</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Versione:</translation>
    </message>
    <message>
        <source>blank KO</source>
        <translation>bianco KO</translation>
    </message>
    <message>
        <source>blank KO </source>
        <translation>bianco KO</translation>
    </message>
    <message>
        <source>value out of range</source>
        <translation>valore fuori scala</translation>
    </message>
    <message>
        <source>---</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>QVR Datarium</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File Excel (*.xlsx)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File PDF (*.pdf)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Q</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RU FW version:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RU serial number:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>XML Files (*.xml)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Analyses performed with &lt;b&gt;</source>
        <translation>Analisi eseguita con &lt;b&gt;</translation>
    </message>
    <message>
        <source>Analysis</source>
        <translation>Analisi</translation>
    </message>
    <message>
        <source>Analysis Report</source>
        <translation>Report di analisi</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Errore</translation>
    </message>
    <message>
        <source>Matrix</source>
        <translation>Matrice</translation>
    </message>
    <message>
        <source>Quality System certified&lt;br/&gt;ISO 9001 Ed.2015</source>
        <translation>Sistema di qualità certificato&lt;br/&gt;ISO 9001 Ed.2015</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Risultato</translation>
    </message>
    <message>
        <source>S/N</source>
        <translation>matricola</translation>
    </message>
    <message>
        <source>Sample</source>
        <translation>Campione</translation>
    </message>
    <message>
        <source>The instrument does not seem connected to the computer, manually search the exported results file</source>
        <translation>Lo strumento non sembra connesso al computer, cerca manualmente il file dei risultati esportato</translation>
    </message>
    <message>
        <source>The instrument seems to be connected to the computer, but no exported results are found. Please export results via the instrument menu and try again.</source>
        <translation>Lo strumento sembra connesso al computer, ma non è stato trovato il file dei risultati. Esporta i risultati tramite l'apposito menu sullo strumento e prova di nuovo.</translation>
    </message>
    <message>
        <source>The selected export file does not seem valid.</source>
        <translation>Il file selezionato non sembra valido.</translation>
    </message>
    <message>
        <source>To proceed, you should select at least one result.</source>
        <translation>Per procedere devi selezionare almeno un risultato.</translation>
    </message>
    <message>
        <source>%1 was converted already under the same name.</source>
        <translation>%1 è già stato convertito con lo stesso nome.</translation>
    </message>
    <message>
        <source>The file %1 could not be written.</source>
        <translation>Impossibile scrivere il file %1.</translation>
    </message>
    <message>
        <source>www.qvr.example&lt;br/&gt;info@qvr.example</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>about</name>
    <message>
        <source>About QVR Datarium</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>QVR Datarium</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Built on Mar 14 2016 09:57:09</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>By QVR, for food-analysis labs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p&gt;This program is provided as is, without warranty of any kind.&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
