// The framework grid: every row of the recordset in the page (rows out of view are left undrawn
// by the browser), worked with the keyboard as a spreadsheet is. Arrows move between cells; on a
// choice cell, Space or typing opens its choice list, arrows then move in the list, Enter confirms
// and Escape leaves it as it was. A choice made with the mouse is sent at once.

import { h, on } from "./dom.js";
import type { ControlState, GridState } from "./protocol.js";
import { registerRenderer, type RenderContext } from "./renderers.js";

// The cell each grid last had the focus on, so that Tab comes back to it after a redraw.
const activeCells = new Map<string, { row: string; field: string }>();

function focusable(cell: Element): HTMLElement {
    return (cell.querySelector("select") as HTMLElement | null) ?? (cell as HTMLElement);
}

function cellOf(element: Element): HTMLElement | null {
    return element.closest("[data-grid-cell]");
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
        target = rows > 0 ? target.nextElementSibling : target.previousElementSibling;
    }
    if (!target || !target.hasAttribute("data-grid-row")) {
        return;
    }
    const next = target.querySelectorAll("[data-grid-cell]")[column];
    if (!next) {
        return;
    }
    for (const current of grid.querySelectorAll("[tabindex='0']")) {
        current.setAttribute("tabindex", "-1");
    }
    const element = focusable(next);
    element.setAttribute("tabindex", "0");
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

export function renderGrid(control: ControlState, context: RenderContext): HTMLElement {
    const grid = control as unknown as GridState;
    const active = activeCells.get(grid.name);
    const columns = grid.columns;
    const template = columns.map((column) => `minmax(4rem, ${Math.max(1, Math.round(column.width / 15))}fr)`).join(" ");
    const header = h(
        "div",
        { role: "row", class: "grid-row grid-head", style: `grid-template-columns: ${template}` },
        ...columns.map((column) => h("div", { role: "columnheader", class: "grid-cell" }, column.caption)),
    );
    const body = h("div", { role: "rowgroup", class: "grid-body" });
    let first = true;
    for (const row of grid.rows) {
        const line = h("div", {
            role: "row",
            class: "grid-row",
            "data-grid-row": row.key,
            style: `grid-template-columns: ${template}`,
        });
        columns.forEach((column, index) => {
            const value = row.cells[index] ?? "";
            const isActive = active ? active.row === row.key && active.field === column.field : first;
            first = false;
            if (column.editable && column.choices.length > 0) {
                const select = h(
                    "select",
                    {
                        tabindex: isActive ? 0 : -1,
                        "aria-label": `${column.caption} ${row.key}`,
                        disabled: !grid.enabled,
                        "data-shown": value,
                    },
                    ...column.choices.map((choice) => h("option", { value: choice.value }, choice.text)),
                );
                select.value = value;
                on(select, "change", (_, element) => {
                    if (element.dataset.editing === undefined && element.value !== value) {
                        context.send({ type: "editCell", control: grid.name, row: row.key, field: column.field, value: element.value });
                    }
                });
                line.append(h("div", { role: "gridcell", class: "grid-cell", "data-grid-cell": column.field }, select));
            } else {
                line.append(
                    h(
                        "div",
                        { role: "gridcell", class: "grid-cell", "data-grid-cell": column.field, tabindex: isActive ? 0 : -1 },
                        value,
                    ),
                );
            }
        });
        body.append(line);
    }
    const element = h(
        "div",
        {
            role: "grid",
            class: "grid",
            "data-grid": grid.name,
            "data-control": grid.name,
            "aria-label": grid.caption ?? grid.name,
            "aria-rowcount": grid.rows.length + 1,
        },
        header,
        body,
    );
    on(element, "keydown", (event, shown) => onKey(event, shown, context, grid.name));
    on(element, "focusin", (event) => {
        const cell = cellOf(event.target as Element);
        const row = cell?.closest("[data-grid-row]");
        if (cell && row) {
            activeCells.set(grid.name, { row: row.getAttribute("data-grid-row") ?? "", field: cell.dataset.gridCell ?? "" });
        }
    });
    return element;
}

registerRenderer("grid", renderGrid);
