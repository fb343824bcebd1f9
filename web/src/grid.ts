// The framework grid: every row of the recordset in the page (rows out of view are left undrawn
// by the browser), worked with the keyboard as a spreadsheet is. Arrows move between cells; on a
// choice cell, Space or typing opens its choice list, arrows then move in the list, Enter confirms
// and Escape leaves it as it was. A choice made with the mouse is sent at once.
//
// A grid may hold ten thousand rows, so it is drawn once and then kept up to date by itself: a
// snapshot touches only the rows whose cells changed, and one whose rows did not change (the host
// leaves them out when the browser already holds their version) touches none.

import { h, kept, opaque } from "./dom.js";
import type { ControlState, GridColumnState, GridRowState, GridState, WindowSnapshot } from "./protocol.js";
import { registerRenderer, type RenderContext } from "./renderers.js";

// The cell each grid last had the focus on, so that Tab comes back to it after a redraw.
const activeCells = new Map<string, { row: string; field: string }>();
// The one element of each grid that Tab reaches (looking for it would walk every row).
const tabStops = new Map<string, HTMLElement>();

function setTabStop(name: string, element: HTMLElement): void {
    const previous = tabStops.get(name);
    if (previous && previous !== element) {
        previous.setAttribute("tabindex", "-1");
    }
    element.setAttribute("tabindex", "0");
    tabStops.set(name, element);
}

function focusable(cell: Element): HTMLElement {
    return (cell.querySelector("select") as HTMLElement | null) ?? (cell as HTMLElement);
}

function cellOf(element: Element): HTMLElement | null {
    return element.closest("[data-grid-cell]");
}

// The row before or after, across the blocks the rows are laid out in.
function nextRow(row: Element, forward: boolean): Element | null {
    const sibling = forward ? row.nextElementSibling : row.previousElementSibling;
    if (sibling) {
        return sibling;
    }
    const block = forward ? row.parentElement?.nextElementSibling : row.parentElement?.previousElementSibling;
    return (forward ? block?.firstElementChild : block?.lastElementChild) ?? null;
}

function move(grid: HTMLElement, from: HTMLElement, rows: number, columns: number): void {
    const row = from.closest("[data-grid-row]");
    if (!row) {
        return;
    }
    const cells = Array.from(row.querySelectorAll("[data-grid-cell]"));
    const column = cells.indexOf(from) + columns;
    let target: Element | null = row;
    for (let step = 0; step < Math.abs(rows) && target; step += 1) {
        target = nextRow(target, rows > 0);
    }
    if (!target || !target.hasAttribute("data-grid-row")) {
        return;
    }
    const next = target.querySelectorAll("[data-grid-cell]")[column];
    if (!next) {
        return;
    }
    const element = focusable(next);
    setTabStop(grid.dataset.grid ?? "", element);
    element.focus();
    activeCells.set(grid.dataset.grid ?? "", {
        row: target.getAttribute("data-grid-row") ?? "",
        field: next.getAttribute("data-grid-cell") ?? "",
    });
}

const moves: Record<string, [number, number]> = {
    ArrowUp: [-1, 0],
    ArrowDown: [1, 0],
    ArrowLeft: [0, -1],
    ArrowRight: [0, 1],
    PageUp: [-10, 0],
    PageDown: [10, 0],
};

function choose(select: HTMLSelectElement, step: number): void {
    const index = Math.min(select.options.length - 1, Math.max(0, select.selectedIndex + step));
    select.selectedIndex = index;
}

// Typing picks the choice whose code or text starts with what was typed.
function pick(select: HTMLSelectElement, typed: string): void {
    const lower = typed.toLowerCase();
    const found = Array.from(select.options).findIndex(
        (option) => option.value === typed || option.text.toLowerCase().startsWith(lower),
    );
    if (found >= 0) {
        select.selectedIndex = found;
    }
}

function onKey(event: KeyboardEvent, grid: HTMLElement, context: RenderContext, name: string): void {
    const target = event.target as HTMLElement;
    const cell = cellOf(target);
    if (!cell) {
        return;
    }
    const select = target instanceof HTMLSelectElement ? target : null;
    if (select && select.dataset.editing !== undefined) {
        event.preventDefault();
        if (event.key === "ArrowUp" || event.key === "ArrowDown") {
            choose(select, event.key === "ArrowUp" ? -1 : 1);
        } else if (event.key === "Enter") {
            delete select.dataset.editing;
            select.removeAttribute("aria-expanded");
            if (select.value !== select.dataset.shown) {
                context.send({
                    type: "editCell",
                    control: name,
                    row: cell.closest("[data-grid-row]")?.getAttribute("data-grid-row") ?? "",
                    field: cell.dataset.gridCell ?? "",
                    value: select.value,
                });
            }
        } else if (event.key === "Escape") {
            delete select.dataset.editing;
            select.removeAttribute("aria-expanded");
            select.value = select.dataset.shown ?? select.value;
        } else if (event.key.length === 1) {
            pick(select, event.key);
        }
        return;
    }
    const step = moves[event.key];
    if (step) {
        event.preventDefault();
        move(grid, cell, step[0], step[1]);
        return;
    }
    if (select && !select.disabled && (event.key === " " || (event.key.length === 1 && !event.ctrlKey && !event.altKey && !event.metaKey))) {
        event.preventDefault();
        select.dataset.editing = "";
        select.setAttribute("aria-expanded", "true");
        if (event.key !== " ") {
            pick(select, event.key);
        }
    }
}

// A row as drawn: its element and the cells it shows.
interface Line {
    element: HTMLElement;
    cells: string[];
}

interface GridView {
    element: HTMLElement;
    body: HTMLElement;
    shape: string; // columns and caption as drawn; another shape is drawn afresh
    columns: GridColumnState[];
    enabled: boolean;
    version: string;
    rows: GridRowState[];
    lines: Map<string, Line>; // by row identity (see rowIds)
    template: HTMLElement; // an empty row to clone
    context: RenderContext;
}

// The grids drawn, by name: on screen, or put aside with their page.
const views = new Map<string, GridView>();
let builds = 0;

// Row identities: the key, and for a key met again its occurrence, so that no two rows share one.
function rowIds(rows: GridRowState[]): string[] {
    const seen = new Map<string, number>();
    return rows.map((row) => {
        const count = seen.get(row.key) ?? 0;
        seen.set(row.key, count + 1);
        return count === 0 ? row.key : `${row.key}\u0000${count}`;
    });
}

function isChoice(column: GridColumnState): boolean {
    return column.editable && column.choices.length > 0;
}

function rowTemplate(columns: GridColumnState[]): HTMLElement {
    const line = h("div", { role: "row", class: "grid-row", "data-grid-row": "" });
    for (const column of columns) {
        const cell = h("div", { role: "gridcell", class: "grid-cell", "data-grid-cell": column.field });
        if (isChoice(column)) {
            cell.append(
                h(
                    "select",
                    { tabindex: -1 },
                    ...column.choices.map((choice) => h("option", { value: choice.value }, choice.text)),
                ),
            );
        } else {
            cell.setAttribute("tabindex", "-1");
        }
        line.append(cell);
    }
    return line;
}

function showCell(view: GridView, cell: Element, column: GridColumnState, key: string, value: string): void {
    if (!isChoice(column)) {
        cell.textContent = value;
        return;
    }
    const select = cell.firstElementChild as HTMLSelectElement;
    select.setAttribute("aria-label", `${column.caption} ${key}`);
    select.dataset.shown = value;
    select.disabled = !view.enabled;
    select.selectedIndex = column.choices.findIndex((choice) => choice.value === value);
    delete select.dataset.editing;
    select.removeAttribute("aria-expanded");
}

function createLine(view: GridView, row: GridRowState): Line {
    const element = view.template.cloneNode(true) as HTMLElement;
    element.setAttribute("data-grid-row", row.key);
    const cells = element.children;
    view.columns.forEach((column, index) => showCell(view, cells[index], column, row.key, row.cells[index] ?? ""));
    return { element, cells: row.cells };
}

// Only the cells that differ are touched.
function patchLine(view: GridView, line: Line, row: GridRowState): void {
    const cells = line.element.children;
    view.columns.forEach((column, index) => {
        const value = row.cells[index] ?? "";
        if ((line.cells[index] ?? "") !== value) {
            showCell(view, cells[index], column, row.key, value);
        }
    });
    line.cells = row.cells;
}

// The tab stop of the grid: the cell last focused, else the first one.
function placeTabStop(view: GridView, name: string): void {
    const stop = tabStops.get(name);
    if (stop && view.element.contains(stop)) {
        return;
    }
    const active = activeCells.get(name);
    const line = active ? view.lines.get(active.row)?.element : view.body.querySelector("[data-grid-row]");
    const cell =
        line?.querySelector(`[data-grid-cell="${CSS.escape(active?.field ?? "")}"]`) ??
        view.body.querySelector("[data-grid-cell]");
    if (cell) {
        setTabStop(name, focusable(cell));
    }
}

// Rows are laid out in blocks of this many: the browser skips drawing a block out of view. One
// skipped box per row would make every scroll step lay out ten thousand boxes.
const blockRows = 25;

function block(view: GridView, index: number): Element {
    return (
        view.body.children[index] ??
        view.body.appendChild(h("div", { role: "none", class: "grid-block", "data-grid-block": "" }))
    );
}

// Brings the drawn rows to `rows`: rows gone are removed first, so that the walk below moves
// nothing when rows are only changed in place, and little when some come or go.
function showRows(view: GridView, rows: GridRowState[], version: string, name: string): void {
    const ids = rowIds(rows);
    const wanted = new Set(ids);
    for (const [id, line] of view.lines) {
        if (!wanted.has(id)) {
            line.element.remove();
            view.lines.delete(id);
        }
    }
    let current: Element | null = null;
    let cursor: Element | null = null;
    rows.forEach((row, index) => {
        if (index % blockRows === 0) {
            current = block(view, index / blockRows);
            cursor = current.firstElementChild;
        }
        const id = ids[index];
        let line = view.lines.get(id);
        if (!line) {
            line = createLine(view, row);
            view.lines.set(id, line);
        } else if (line.cells.length !== row.cells.length || line.cells.some((cell, i) => cell !== row.cells[i])) {
            patchLine(view, line, row);
        }
        if (line.element === cursor) {
            cursor = cursor.nextElementSibling;
        } else {
            current?.insertBefore(line.element, cursor);
        }
    });
    // Rows of later blocks left at the end of one were moved on above; blocks past the rows go.
    const blocks = Math.ceil(rows.length / blockRows);
    while (view.body.children.length > blocks) {
        view.body.lastElementChild?.remove();
    }
    view.rows = rows;
    view.version = version;
    if (view.element.getAttribute("aria-rowcount") !== String(rows.length + 1)) {
        view.element.setAttribute("aria-rowcount", String(rows.length + 1));
    }
    placeTabStop(view, name);
}

function setEnabled(view: GridView, enabled: boolean): void {
    view.enabled = enabled;
    for (const select of view.body.querySelectorAll("select")) {
        select.disabled = !enabled;
    }
}

function build(grid: GridState, rows: GridRowState[], shape: string, context: RenderContext): GridView {
    const columns = grid.columns;
    const template = columns.map((column) => `minmax(4rem, ${Math.max(1, Math.round(column.width / 15))}fr)`).join(" ");
    const header = h(
        "div",
        { role: "row", class: "grid-row grid-head" },
        ...columns.map((column) => h("div", { role: "columnheader", class: "grid-cell" }, column.caption)),
    );
    const body = h("div", { role: "rowgroup", class: "grid-body" });
    const element = h(
        "div",
        {
            role: "grid",
            class: "grid",
            "data-grid": grid.name,
            "data-control": grid.name,
            "aria-label": grid.caption ?? grid.name,
        },
        header,
        body,
    );
    // Through the style object: the page's security policy refuses style attributes.
    element.style.setProperty("--grid-columns", template);
    const view: GridView = {
        element,
        body,
        shape,
        columns,
        enabled: grid.enabled,
        version: "",
        rows: [],
        lines: new Map(),
        template: rowTemplate(columns),
        context,
    };
    showRows(view, rows, grid.rowsVersion, grid.name);
    element.addEventListener("keydown", (event) => onKey(event, element, view.context, grid.name));
    element.addEventListener("focusin", (event) => {
        const cell = cellOf(event.target as Element);
        const row = cell?.closest("[data-grid-row]");
        if (cell && row) {
            activeCells.set(grid.name, { row: row.getAttribute("data-grid-row") ?? "", field: cell.dataset.gridCell ?? "" });
            // A cell clicked becomes the one Tab comes back to.
            if (event.target === focusable(cell)) {
                setTabStop(grid.name, focusable(cell));
            }
        }
    });
    // A choice made with the mouse (not while the list is worked with the keyboard).
    element.addEventListener("change", (event) => {
        const select = event.target;
        if (!(select instanceof HTMLSelectElement) || select.dataset.editing !== undefined) {
            return;
        }
        const cell = cellOf(select);
        if (cell && select.value !== select.dataset.shown) {
            view.context.send({
                type: "editCell",
                control: grid.name,
                row: cell.closest("[data-grid-row]")?.getAttribute("data-grid-row") ?? "",
                field: cell.dataset.gridCell ?? "",
                value: select.value,
            });
        }
    });
    return view;
}

// The rows a snapshot gives: all of them, the rows drawn with those that changed put in, or (left
// out) the rows drawn; undefined when the snapshot counts on rows this browser does not hold.
function rowsOf(grid: GridState, view: GridView | undefined): GridRowState[] | undefined {
    if (grid.rows) {
        return grid.rows;
    }
    if (view && grid.rowsChanged && view.version === grid.rowsBase) {
        const rows = view.rows.slice();
        for (const { index, key, cells } of grid.rowsChanged) {
            rows[index] = { key, cells };
        }
        return rows;
    }
    return view?.version === grid.rowsVersion ? view.rows : undefined;
}

export function renderGrid(control: ControlState, context: RenderContext): HTMLElement {
    const grid = control as unknown as GridState;
    let view = views.get(grid.name);
    const rows = rowsOf(grid, view) ?? view?.rows ?? [];
    const shape = JSON.stringify([grid.columns, grid.caption ?? null]);
    if (!view || view.shape !== shape) {
        view = build(grid, rows, shape, context);
        views.set(grid.name, view);
        // Replaces whatever grid was shown whole instead of being patched into it.
        builds += 1;
        return opaque(view.element, builds);
    }
    view.context = context;
    if (view.enabled !== grid.enabled) {
        setEnabled(view, grid.enabled);
    }
    if (view.version !== grid.rowsVersion) {
        showRows(view, rows, grid.rowsVersion, grid.name);
    }
    return kept(view.element);
}

// What the browser holds of each grid, sent with each action so that the host can leave those rows
// out of its answer.
export function heldGridRows(): Record<string, string> {
    const held: Record<string, string> = {};
    for (const [name, view] of views) {
        held[name] = view.version;
    }
    return held;
}

// A snapshot that left out rows this browser does not hold (it answered an action sent before
// another drawing): the window must be asked for whole.
export function lacksGridRows(snapshot: WindowSnapshot): boolean {
    for (const frame of snapshot.page?.frames ?? []) {
        for (const control of frame.controls) {
            const grid = control as unknown as GridState;
            if (control.kind === "grid" && rowsOf(grid, views.get(grid.name)) === undefined) {
                return true;
            }
        }
    }
    return false;
}

// The window closed: nothing drawn is kept.
export function forgetGrids(): void {
    views.clear();
    activeCells.clear();
    tabStops.clear();
}

registerRenderer("grid", renderGrid);
