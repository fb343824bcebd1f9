// The framework grid: every row of the recordset in the page (rows out of view are left undrawn
// by the browser), worked with the keyboard as a spreadsheet is. Arrows move between cells; on a
// choice cell, Space or typing opens its choice list, arrows then move in the list, Enter confirms
// and Escape leaves it as it was. A choice made with the mouse is sent at once.
//
// A grid may hold ten thousand rows, so it is drawn once and then kept up to date by itself: a
// snapshot touches only the rows whose cells changed, and one whose rows did not change (the host
// leaves them out when the browser already holds their version) touches none.

import { assign, h, kept, opaque, setAttribute } from "./dom.js";
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

function beside(element: Element | null | undefined, forward: boolean): Element | null {
    return (forward ? element?.nextElementSibling : element?.previousElementSibling) ?? null;
}

function firstInside(element: Element | null | undefined, forward: boolean): Element | null {
    return (forward ? element?.firstElementChild : element?.lastElementChild) ?? null;
}

// The row before or after, across the blocks the rows are laid out in and the chunks of blocks.
function nextRow(row: Element, forward: boolean): Element | null {
    const block = row.parentElement;
    const nextBlock = beside(block, forward) ?? firstInside(beside(block?.parentElement, forward), forward);
    return beside(row, forward) ?? firstInside(nextBlock, forward);
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

function editFormId(grid: string): string {
    return `grid-edit-${grid}`;
}

// A list the person starts a choice in moves to a form of the lists chosen in, never back. After a
// choice, Chromium looks over the changed list's form for something to fill in: over the rows'
// form that was 20,000 lists, 10-12 ms before the answer could be shown. Each move costs a look
// over the page's forms at the next focus (about 15 ms), so a list is moved only when a choice
// starts, not as the focus goes by.
function startChoice(select: HTMLSelectElement, grid: string): void {
    if (select.getAttribute("form") !== editFormId(grid)) {
        select.setAttribute("form", editFormId(grid));
    }
}

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
        startChoice(select, name);
        select.dataset.editing = "";
        select.setAttribute("aria-expanded", "true");
        if (event.key !== " ") {
            pick(select, event.key);
        }
    }
}

interface GridView {
    element: HTMLElement;
    body: HTMLElement;
    shape: string; // columns and caption as drawn; another shape is drawn afresh
    columns: GridColumnState[];
    enabled: boolean;
    version: string;
    rows: GridRowState[]; // as shown, in the order of the row elements
    blocks: HTMLElement[]; // blocks made, in the page or not yet; the rows of the others are still to be drawn
    shownBlocks: number; // blocks in the page, the first ones made
    coming: HTMLElement; // chunks made out of the page, put in it once they are all made
    standIn: HTMLElement | null; // in the page while rows are still to come, as high as they
    drawing: number; // counts the drawings afresh: a later one stops the blocks left of another
    laidOut: Set<number>; // the blocks laid out while the page was idle
    layingOut: boolean; // more blocks are to be laid out at the next idle time
    context: RenderContext;
}

// The grids drawn, by name: on screen, or put aside with their page.
const views = new Map<string, GridView>();
let builds = 0;

function isChoice(column: GridColumnState): boolean {
    return column.editable && column.choices.length > 0;
}

// Rows are laid out in blocks of this many: the browser skips drawing a block out of view. One
// skipped box per row would make every scroll step lay out ten thousand boxes. Blocks are grouped
// in chunks, skipped the same way: with 400 blocks side by side each scroll step went over them
// all to lay them out, hit-test them and see which came into view (two thirds of a frame's work).
const blockRows = 25;
const chunkBlocks = 10;

const escapes: Record<string, string> = { "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;", "'": "&#39;" };

function escape(text: string): string {
    return text.replace(/[&<>"']/g, (character) => escapes[character]);
}

// Rows are written as markup and read by the browser's parser: ten thousand rows of two choice
// lists each are made several times faster than element by element, and no script object is
// made for an element the script never touches.
function cellMarkup(view: GridView, column: GridColumnState, key: string, value: string): string {
    const field = escape(column.field);
    if (!isChoice(column)) {
        return `<div role="gridcell" class="grid-cell" data-grid-cell="${field}" tabindex="-1">${escape(value)}</div>`;
    }
    const options = column.choices
        .map((choice) => `<option value="${escape(choice.value)}"${choice.value === value ? " selected" : ""}>${escape(choice.text)}</option>`)
        .join("");
    const disabled = view.enabled ? "" : " disabled";
    return (
        `<div role="gridcell" class="grid-cell" data-grid-cell="${field}"><select tabindex="-1" ` +
        `aria-label="${escape(`${column.caption} ${key}`)}" data-shown="${escape(value)}"${disabled}>${options}</select></div>`
    );
}

function rowMarkup(view: GridView, row: GridRowState): string {
    const cells = view.columns.map((column, index) => cellMarkup(view, column, row.key, row.cells[index] ?? ""));
    return `<div role="row" class="grid-row" data-grid-row="${escape(row.key)}">${cells.join("")}</div>`;
}

// Rows not made yet.
function rowsToMake(view: GridView): number {
    return Math.max(0, view.rows.length - view.blocks.length * blockRows);
}

function rowElement(view: GridView, index: number): Element | undefined {
    return view.blocks[Math.floor(index / blockRows)]?.children[index % blockRows];
}

// A choice list shows no choice for a code outside its list (markup alone would show the first).
function clearUnknownChoices(view: GridView, from: number, to: number): void {
    view.columns.forEach((column, columnIndex) => {
        if (!isChoice(column)) {
            return;
        }
        for (let index = from; index < to; index += 1) {
            const value = view.rows[index].cells[columnIndex] ?? "";
            if (!column.choices.some((choice) => choice.value === value)) {
                const select = rowElement(view, index)?.children[columnIndex]?.firstElementChild;
                if (select instanceof HTMLSelectElement) {
                    select.selectedIndex = -1;
                }
            }
        }
    });
}

// The chunk of `into` the next block goes in: its last one, or a new one when that is full.
function chunkFor(into: HTMLElement): HTMLElement {
    const last = into.lastElementChild as HTMLElement | null;
    if (last?.classList.contains("grid-chunk") && last.childElementCount < chunkBlocks) {
        return last;
    }
    return into.appendChild(h("div", { role: "none", class: "grid-chunk" }));
}

// Appends the next `count` blocks to the chunks of `into`, written from the rows as they are now.
function drawBlocks(view: GridView, into: HTMLElement, count: number): void {
    const from = view.blocks.length * blockRows;
    const to = Math.min(view.rows.length, from + count * blockRows);
    for (let start = from; start < to; start += blockRows) {
        const rows = view.rows.slice(start, Math.min(to, start + blockRows));
        const chunk = chunkFor(into);
        chunk.insertAdjacentHTML("beforeend", `<div role="none" class="grid-block">${rows.map((row) => rowMarkup(view, row)).join("")}</div>`);
        view.blocks.push(chunk.lastElementChild as HTMLElement);
        // The height the chunk is given until it is first laid out.
        chunk.style.setProperty("--blocks", String(chunk.childElementCount));
    }
    if (into === view.body) {
        view.shownBlocks = view.blocks.length;
    }
    clearUnknownChoices(view, from, to);
}

// The blocks drawn at once: more than a screen of rows. The others are made a few at a time
// between frames, so that the page answers while ten thousand rows with two choice lists each are
// made, out of the page (each time form controls enter a page the browser goes over all of its
// form controls), and then put in the page in a few steps.
const firstBlocks = 2;
const taskBudget = 10; // ms of drawing per task

// A task queued through a message port runs as soon as the browser is free (a timer would wait
// at least 4 ms from the fifth one in a row).
const nextTask = new MessageChannel();
const queued: (() => void)[] = [];
nextTask.port1.onmessage = () => queued.shift()?.();

function later(work: () => void): void {
    queued.push(work);
    nextTask.port2.postMessage(null);
}

function drawLater(view: GridView, drawing: number): void {
    later(() => {
        if (view.drawing !== drawing) {
            return; // drawn afresh since
        }
        const began = performance.now();
        while (rowsToMake(view) > 0 && performance.now() - began < taskBudget) {
            drawBlocks(view, view.coming, 1);
        }
        if (rowsToMake(view) > 0) {
            drawLater(view, drawing);
        } else {
            moveInLater(view, drawing);
        }
    });
}

// The chunks made are put in the page this many at a time, a task each: each time, the browser
// goes over every form control of the page, so that one step of 10,000 rows was a frame of about
// 300 ms, and steps of 500 rows make frames of 50-100 ms.
const chunksMovedIn = 2;

function moveInLater(view: GridView, drawing: number): void {
    later(() => {
        if (view.drawing !== drawing) {
            return;
        }
        const chunks = Array.from(view.coming.children).slice(0, chunksMovedIn);
        view.standIn?.before(...chunks);
        view.shownBlocks += chunks.reduce((blocks, chunk) => blocks + chunk.childElementCount, 0);
        if (view.coming.childElementCount > 0) {
            const coming = view.rows.length - view.shownBlocks * blockRows;
            view.standIn?.style.setProperty("--rows", String(coming));
            moveInLater(view, drawing);
        } else {
            view.standIn?.remove();
            view.standIn = null;
            layOutLater(view);
        }
    });
}

// The first layout of a block takes 15-25 ms (mostly its fifty choice lists), too long for a
// scroll step: a person scrolling through rows the browser had skipped saw frames dropped. While
// the page is idle, the blocks out of view are laid out from the view down, one at a time while
// there is idle time left, so that a person who acts meanwhile waits one block at most; a block laid
// out once is only painted when it comes into view.
const blockLayoutMs = 25;

// Waits for the page to be idle, a second at most: a page that keeps drawing frames (an animation)
// is never idle long enough for a block.
const whenIdle: (work: (deadline: IdleDeadline) => void) => void =
    typeof requestIdleCallback === "function"
        ? (work) => requestIdleCallback(work, { timeout: 1000 })
        : (work) => setTimeout(() => work({ didTimeout: true, timeRemaining: () => 0 }), 50);

// The block to lay out next: the first one not laid out from the top of the view down, else from
// the top of the grid (the blocks a person scrolling on reaches first).
function nextToLayOut(view: GridView): number | undefined {
    const blockHeight = view.blocks[0]?.offsetHeight || 1;
    const inView = Math.min(view.shownBlocks, Math.floor(view.body.scrollTop / blockHeight));
    for (const from of [inView, 0]) {
        for (let block = from; block < view.shownBlocks; block += 1) {
            if (!view.laidOut.has(block)) {
                return block;
            }
        }
    }
    return undefined;
}

function layOutLater(view: GridView): void {
    if (view.layingOut || view.laidOut.size >= view.shownBlocks) {
        return;
    }
    view.layingOut = true;
    whenIdle((deadline) => {
        view.layingOut = false;
        if (view.standIn || !view.body.isConnected) {
            return; // rows still coming, or put aside with its page: started again after
        }
        // As many blocks as the idle time allows; one when the page was not idle within a second.
        let more = deadline.didTimeout || deadline.timeRemaining() >= blockLayoutMs;
        for (let block = nextToLayOut(view); more && block !== undefined; block = nextToLayOut(view)) {
            // Reading a box inside a block the browser skips makes it lay the block out.
            void (view.blocks[block].firstElementChild as HTMLElement | null)?.offsetWidth;
            view.laidOut.add(block);
            more = !deadline.didTimeout && deadline.timeRemaining() >= blockLayoutMs;
        }
        layOutLater(view);
    });
}

// Draws every row of `view.rows` afresh.
function drawRows(view: GridView): void {
    view.drawing += 1;
    view.blocks = [];
    view.shownBlocks = 0;
    view.laidOut = new Set();
    view.body.replaceChildren();
    view.coming.replaceChildren();
    view.standIn = null;
    drawBlocks(view, view.body, firstBlocks);
    if (rowsToMake(view) > 0) {
        // Stands in for the rows still to come, so that the grid scrolls as far as they will go.
        view.standIn = view.body.appendChild(h("div", { class: "grid-coming", "aria-hidden": "true" }));
        view.standIn.style.setProperty("--rows", String(rowsToMake(view)));
        drawLater(view, view.drawing);
    }
}

function showCell(view: GridView, cell: Element, column: GridColumnState, key: string, value: string): void {
    if (!isChoice(column)) {
        cell.textContent = value;
        return;
    }
    const select = cell.firstElementChild as HTMLSelectElement;
    setAttribute(select, "aria-label", `${column.caption} ${key}`);
    select.dataset.shown = value;
    assign(select, "disabled", !view.enabled);
    // A choice the person just made is left as it is.
    assign(select, "selectedIndex", column.choices.findIndex((choice) => choice.value === value));
    delete select.dataset.editing;
    select.removeAttribute("aria-expanded");
}

// Only the cells that differ are touched.
function patchRow(view: GridView, index: number, before: GridRowState, row: GridRowState): void {
    const element = rowElement(view, index);
    if (!element) {
        return;
    }
    view.columns.forEach((column, columnIndex) => {
        const value = row.cells[columnIndex] ?? "";
        if ((before.cells[columnIndex] ?? "") !== value) {
            showCell(view, element.children[columnIndex], column, row.key, value);
        }
    });
}

function sameCells(a: GridRowState, b: GridRowState): boolean {
    return a.cells.length === b.cells.length && a.cells.every((cell, index) => cell === b.cells[index]);
}

// The tab stop of the grid: the cell last focused, else the first one.
function placeTabStop(view: GridView, name: string): void {
    const stop = tabStops.get(name);
    if (stop && view.element.contains(stop)) {
        return;
    }
    const active = activeCells.get(name);
    const row = active
        ? view.body.querySelector(`[data-grid-row="${CSS.escape(active.row)}"]`)
        : view.body.querySelector("[data-grid-row]");
    const cell =
        row?.querySelector(`[data-grid-cell="${CSS.escape(active?.field ?? "")}"]`) ??
        view.body.querySelector("[data-grid-cell]");
    if (cell) {
        setTabStop(name, focusable(cell));
    }
}

// Brings the drawn rows to `rows`. Rows changed in place (the same keys in the same order) are
// patched, those named in `changed` alone when the host said which; any other change draws them
// all afresh.
function showRows(view: GridView, rows: GridRowState[], version: string, name: string, changed?: number[]): void {
    const before = view.rows;
    const inPlace = rows.length === before.length && (changed !== undefined || rows.every((row, i) => row.key === before[i].key));
    view.rows = rows;
    if (!inPlace) {
        drawRows(view);
    } else {
        for (const index of changed ?? rows.keys()) {
            if (!sameCells(before[index], rows[index])) {
                patchRow(view, index, before[index], rows[index]);
            }
        }
    }
    view.version = version;
    setAttribute(view.element, "aria-rowcount", String(rows.length + 1));
    placeTabStop(view, name);
}

function setEnabled(view: GridView, enabled: boolean): void {
    view.enabled = enabled;
    // Rows still out of the page too; rows not made yet are made with `view.enabled`.
    for (const holder of [view.body, view.coming]) {
        for (const select of holder.querySelectorAll("select")) {
            select.disabled = !enabled;
        }
    }
}

// A form that is never sent, has no box of its own and keeps no state in the page's history.
function gridForm(id: string, ...content: HTMLElement[]): HTMLFormElement {
    const form = h("form", { id, role: "none", class: "grid-form", autocomplete: "off" }, ...content);
    form.addEventListener("submit", (event) => event.preventDefault());
    return form;
}

function build(grid: GridState, rows: GridRowState[], shape: string, context: RenderContext): GridView {
    const columns = grid.columns;
    // A column of lists is never narrower than a list, so that no cell cuts off a list's arrow.
    const least = (column: GridColumnState) => (isChoice(column) ? "var(--grid-list-width)" : "4rem");
    const template = columns.map((column) => `minmax(${least(column)}, ${Math.max(1, Math.round(column.width / 15))}fr)`).join(" ");
    const header = h(
        "div",
        { role: "row", class: "grid-row grid-head" },
        ...columns.map((column) => h("div", { role: "columnheader", class: "grid-cell" }, column.caption)),
    );
    const body = h("div", { role: "rowgroup", class: "grid-body" });
    // The rows' choice lists belong to a form of their own. After a choice changes, Chromium looks
    // over the changed list's form for something to fill in: without this form it went over every
    // form control of the page (30 ms and more with 10,000 rows, before the answer could be shown).
    // Their state is not kept in the page's history either: the window redraws them from the host.
    const rowsForm = gridForm(`grid-rows-${grid.name}`, body);
    const editForm = gridForm(editFormId(grid.name));
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
        rowsForm,
        editForm,
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
        blocks: [],
        shownBlocks: 0,
        coming: document.createElement("div"),
        standIn: null,
        drawing: 0,
        laidOut: new Set(),
        layingOut: false,
        context,
    };
    showRows(view, rows, grid.rowsVersion, grid.name);
    element.addEventListener("keydown", (event) => onKey(event, element, view.context, grid.name));
    // The mouse starts a choice: the list is pressed before it gets the focus and opens.
    element.addEventListener("pointerdown", (event) => {
        if (event.target instanceof HTMLSelectElement) {
            startChoice(event.target, grid.name);
        }
    });
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

// The rows a snapshot gives, with the indexes of those that changed when the host said which:
// all of them, the rows drawn with those that changed put in, or (left out) the rows drawn;
// undefined when the snapshot counts on rows this browser does not hold.
function rowsOf(grid: GridState, view: GridView | undefined): { rows: GridRowState[]; changed?: number[] } | undefined {
    if (grid.rows) {
        return { rows: grid.rows };
    }
    if (view && grid.rowsChanged && view.version === grid.rowsBase) {
        const rows = view.rows.slice();
        for (const { index, key, cells } of grid.rowsChanged) {
            rows[index] = { key, cells };
        }
        return { rows, changed: grid.rowsChanged.map((row) => row.index) };
    }
    return view?.version === grid.rowsVersion ? { rows: view.rows } : undefined;
}

export function renderGrid(control: ControlState, context: RenderContext): HTMLElement {
    const grid = control as unknown as GridState;
    let view = views.get(grid.name);
    const given = rowsOf(grid, view) ?? { rows: view?.rows ?? [] };
    const shape = JSON.stringify([grid.columns, grid.caption ?? null]);
    if (!view || view.shape !== shape) {
        view = build(grid, given.rows, shape, context);
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
        showRows(view, given.rows, grid.rowsVersion, grid.name, given.changed);
    }
    layOutLater(view);
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
