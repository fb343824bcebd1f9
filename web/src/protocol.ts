// The shapes the server sends and takes. src/web/PROTOCOL.md describes them in full.

export interface Company {
    code: number;
    name: string;
}

export interface MenuEntry {
    progId: string;
    caption: string;
    available: boolean;
}

export interface SessionInfo {
    user: string;
    userName: string;
    companies: Company[];
    company: number | null;
    csrfToken: string;
    menu: MenuEntry[];
    openWindow?: string | null; // the session's program window, when one is open
}

export type ControlValue = string | number | boolean | null;

export interface ComboRow {
    value: string;
    text: string;
}

export interface ControlState {
    kind: string; // "combo", "checkbox", "edit", "label", "button"
    name: string;
    value: ControlValue;
    rows?: ComboRow[];
    enabled: boolean;
    visible: boolean;
    mandatory?: boolean;
    maxLength?: number;
    numeric?: boolean;
    keyButton?: boolean;
    caption?: string;
    label?: string;
    description?: string;
    keyMenu?: { key: string; caption: string; enabled: boolean }[];
    effective?: string;
}

export interface GridColumnState {
    field: string;
    caption: string;
    width: number;
    editable: boolean;
    choices: ComboRow[];
}

export interface GridState {
    kind: "grid";
    name: string;
    enabled: boolean;
    visible: boolean;
    caption?: string;
    keyColumn: string;
    layoutKey: string;
    columns: GridColumnState[];
    rowsVersion: string;
    rows?: GridRowState[]; // left out when the browser holds this version of them
    // Instead of rows, when the browser holds version rowsBase and rows only changed in place.
    rowsBase?: string;
    rowsChanged?: (GridRowState & { index: number })[];
}

export interface GridRowState {
    key: string;
    cells: string[];
}

export interface FrameState {
    name: string;
    caption: string;
    visible?: boolean;
    controls: ControlState[];
}

export interface SideBarItem {
    key: string;
    caption: string;
    enabled: boolean;
    current: boolean;
}

export interface SideBarGroup {
    key: string;
    caption: string;
    items: SideBarItem[];
}

export interface SideBarState {
    name: string;
    groups: SideBarGroup[];
}

export interface NavigatorButton {
    key: string;
    caption: string;
    enabled: boolean;
}

export interface NavigatorState {
    name: string;
    visible: boolean;
    buttons: NavigatorButton[];
}

export interface MessageBoxState {
    id: number;
    text: string;
    buttons: number;
    title: string;
}

export interface LookupColumn {
    name: string;
    caption: string;
}

export interface LookupRow {
    code: string;
    cells: string[];
}

export interface LookupState {
    control: string;
    title: string;
    columns: LookupColumn[];
    rows: LookupRow[];
}

export interface PrintRow {
    label: string;
    value: string;
}

export interface PrintSection {
    caption: string;
    rows: PrintRow[];
}

export interface PrintSheetState {
    title: string;
    subtitle?: string;
    sections: PrintSection[];
}

export interface MediaItemState {
    progr: number;
    description: string;
    fileName: string;
    inserted: string;
}

export interface MediaState {
    mediaId: string | null;
    items: MediaItemState[];
}

export interface HistoryColumnState {
    column: string;
    caption: string;
    before: string | null;
    after: string | null;
}

export interface HistoryRowState {
    id: number;
    user: string;
    time: string; // UTC, YYYY-MM-DDTHH:MM:SS
    document: string | null;
    columns: HistoryColumnState[];
}

export interface HistoryState {
    title: string;
    total: number;
    rows: HistoryRowState[];
}

export interface PageState {
    key: string;
    title: string;
    frames: FrameState[];
}

export interface HostButtonState {
    name: string; // Nuovo, Conferma, Annulla, Stampa, Media, Storico, Chiudi
    enabled: boolean;
}

export interface WindowSnapshot {
    window: string;
    revision: number;
    caption: string;
    closed: boolean;
    sideBar: SideBarState | null;
    header: FrameState | null;
    page: PageState | null;
    navigators: NavigatorState[];
    toolbar: HostButtonState[];
    messageBox: MessageBoxState | null;
    lookup: LookupState | null;
    printSheet: PrintSheetState | null;
    media?: MediaState | null;
    history?: HistoryState | null;
    icon?: string;
    notice?: string | null;
    focus?: FocusState | null;
    session?: SessionInfo; // only when the action completed a company change
}

// The control the program last put the focus on; a larger move is a later move.
export interface FocusState {
    control: string;
    move: number;
}

// What the person did, posted to the window's thread.
export type WindowAction =
    | { type: "clickItem"; item: string }
    | { type: "setValue"; control: string; value: ControlValue }
    | { type: "click"; control: string }
    | { type: "leaveField"; control: string; text: string }
    | { type: "openLookup"; control: string }
    | { type: "keyMenu"; control: string; key: string }
    | { type: "chooseLookupRow"; control: string; code: string }
    | { type: "closeLookup"; control: string }
    | { type: "editCell"; control: string; row: string; field: string; value: string }
    | { type: "answer"; messageId: number; answer: number }
    | { type: "hostButton"; button: string }
    | { type: "navigatorButton"; bar: string; button: string }
    | { type: "closePrint" }
    | { type: "attachMedia"; description: string; fileName: string; content: string }
    | { type: "closeMedia" }
    | { type: "historyMore" }
    | { type: "closeHistory" }
    | { type: "close" };
