#!/usr/bin/env python3
"""Writes the demo warehouse seed (data/seed.sql) to standard output.

    python3 data/generate_seed.py > data/seed.sql

The output is deterministic: running it again reproduces seed.sql byte for
byte. Only the source data (accounts, units, areas, code dictionaries) and the
hand-entered "leaf" ranges are spelled out here. Every range of a parent code,
multiplier or category is derived the way qlx itself would have written it:
a child's ranges are copied up every CS_LEVELHIER edge, and a code hung under a
multiplier or category hands it the code's ranges at that level.
"""

import sys

BLANK = " "

# ---------------------------------------------------------------------------
# Account levels (area AC). Codes are digits only: the editors accept nothing
# else for level codes. Each account number starts with its level-4 code, so a
# code's accounts form one block of numbers.
# ---------------------------------------------------------------------------

AC_L1 = [
    ("1", "Balance Sheet"),
    ("2", "Profit and Loss"),
    ("9", "Statistical Accounts"),
]

AC_L2 = [
    ("11", "Assets", "1"),
    ("12", "Liabilities", "1"),
    ("13", "Equity", "1"),
    ("21", "Revenue", "2"),
    ("22", "Cost of Sales", "2"),
    ("23", "Operating Expenses", "2"),
    ("24", "Finance and Tax", "2"),
]

AC_L3 = [
    ("111", "Current Assets", "11"),
    ("112", "Non-current Assets", "11"),
    ("121", "Current Liabilities", "12"),
    ("122", "Non-current Liabilities", "12"),
    ("131", "Share Capital and Reserves", "13"),
    ("132", "Retained Earnings", "13"),
    ("211", "Sales Revenue", "21"),
    ("212", "Other Operating Revenue", "21"),
    ("221", "Cost of Goods Sold", "22"),
    ("222", "Inventory Adjustments", "22"),
    ("231", "Personnel Expenses", "23"),
    ("232", "Occupancy Expenses", "23"),
    ("233", "General and Administrative", "23"),
    ("234", "Depreciation and Amortisation", "23"),
    ("241", "Finance Income and Costs", "24"),
    ("242", "Income Tax", "24"),
]

AC_L4 = [
    ("1111", "Cash and Cash Equivalents", "111"),
    ("1112", "Trade Receivables", "111"),
    ("1113", "Inventories", "111"),
    ("1114", "Prepayments and Other Receivables", "111"),
    ("1121", "Property Plant and Equipment", "112"),
    ("1122", "Intangible Assets", "112"),
    ("1123", "Long-term Investments", "112"),
    ("1211", "Trade Payables", "121"),
    ("1212", "Accruals and Other Payables", "121"),
    ("1213", "Tax Liabilities", "121"),
    ("1214", "Short-term Borrowings", "121"),
    ("1221", "Long-term Borrowings", "122"),
    ("1222", "Provisions and Deferred Tax", "122"),
    ("1311", "Share Capital", "131"),
    ("1312", "Reserves", "131"),
    ("1321", "Retained Earnings", "132"),
    ("2111", "Product Sales", "211"),
    ("2112", "Sales Deductions", "211"),
    ("2121", "Service and Other Revenue", "212"),
    ("2211", "Material Costs", "221"),
    ("2212", "Direct Labour and Overheads", "221"),
    ("2221", "Inventory Write-downs and Shrinkage", "222"),
    ("2311", "Salaries and Wages", "231"),
    ("2312", "Employee Benefits", "231"),
    ("2321", "Rent and Property", "232"),
    ("2322", "Utilities and Maintenance", "232"),
    ("2331", "Office and Communication", "233"),
    ("2332", "Travel and Entertainment", "233"),
    ("2333", "Professional Fees", "233"),
    ("2334", "Marketing", "233"),
    ("2341", "Depreciation", "234"),
    ("2342", "Amortisation", "234"),
    ("2411", "Finance Income", "241"),
    ("2412", "Finance Costs", "241"),
    ("2421", "Income Tax Expense", "242"),
]

# A level-4 code the accounts carry but the code dictionary never received:
# its ranges show in the tree without a description.
AC_L4_UNLISTED = {"1119": ("Suspense and Clearing", "111")}

AC_LEVELS_WITHOUT_CODES = ["L5"]

CHARTS = [
    ("CORP", "Corporate Chart of Accounts"),
    ("RETL", "Retail Chart of Accounts"),
]

# Accounts per chart and level-4 code, numbered code + 10, 20, ... 90.
# A leading "*" marks a blocked account.
ACCOUNTS = {
    "CORP": [
        ("1111", ["Petty Cash Head Office", "Cash at Bank Operating Account",
                  "Cash at Bank Payroll Account", "Cash at Bank Collections Account",
                  "Short-term Deposits", "Cash at Bank USD Account",
                  "Cash at Bank EUR Account", "*Petty Cash Branch Office"]),
        ("1112", ["Trade Debtors Domestic", "Trade Debtors Export",
                  "Allowance for Doubtful Debts", "Credit Card Receivables",
                  "Unbilled Receivables", "Intercompany Receivables",
                  "*Trade Debtors Legacy System"]),
        ("1113", ["Raw Materials", "Work in Progress", "Finished Goods",
                  "Goods in Transit", "Inventory Provision", "Spare Parts",
                  "Packaging Materials"]),
        ("1114", ["Prepaid Rent", "Prepaid Insurance", "Deposits Paid",
                  "VAT Receivable", "Staff Advances", "Prepaid Software Subscriptions",
                  "Other Receivables"]),
        ("1119", ["Suspense Account", "Payroll Clearing", "Intercompany Clearing"]),
        ("1121", ["Land", "Buildings", "Plant and Machinery", "Motor Vehicles",
                  "Furniture and Fittings", "Computer Equipment",
                  "Accumulated Depreciation Buildings",
                  "Accumulated Depreciation Plant and Vehicles",
                  "*Plant and Machinery Old Site"]),
        ("1122", ["Goodwill", "Software Licences", "Trademarks",
                  "Accumulated Amortisation Software", "Customer Relationships",
                  "Development Costs Capitalised"]),
        ("1123", ["Investment in Subsidiaries", "Investment in Associates",
                  "Long-term Loans Receivable", "Other Financial Assets"]),
        ("1211", ["Trade Creditors Domestic", "Trade Creditors Foreign",
                  "Goods Received Not Invoiced", "Intercompany Payables", "Freight Payables"]),
        ("1212", ["Accrued Expenses", "Accrued Salaries", "Accrued Bonus",
                  "Customer Deposits", "Deferred Revenue", "Accrued Interest",
                  "Accrued Audit Fees"]),
        ("1213", ["VAT Payable", "Payroll Tax Payable", "Corporate Income Tax Payable",
                  "Withholding Tax Payable"]),
        ("1214", ["Bank Overdraft", "Revolving Credit Facility",
                  "Current Portion of Long-term Debt", "Commercial Paper"]),
        ("1221", ["Term Loan Bank A", "Term Loan Bank B", "Bonds Payable",
                  "Lease Liabilities", "Shareholder Loans"]),
        ("1222", ["Provision for Restructuring", "Provision for Warranties",
                  "Deferred Tax Liability", "Employee Benefit Obligations"]),
        ("1311", ["Ordinary Share Capital", "Share Premium", "Treasury Shares"]),
        ("1312", ["Legal Reserve", "Translation Reserve", "Revaluation Reserve", "Hedging Reserve"]),
        ("1321", ["Retained Earnings Brought Forward", "Current Year Earnings",
                  "Dividends Declared"]),
        ("2111", ["Sales Domestic", "Sales Export", "Sales Online", "Sales Intercompany",
                  "Sales Wholesale"]),
        ("2112", ["Sales Returns", "Sales Discounts", "Customer Rebates", "Volume Rebates"]),
        ("2121", ["Service Fees", "Rental Income", "Commission Income", "Royalty Income",
                  "Management Fees Intercompany"]),
        ("2211", ["Purchases Raw Materials", "Purchases Finished Goods",
                  "Freight Inwards", "Customs Duties", "Purchase Price Variances"]),
        ("2212", ["Direct Labour", "Production Overheads", "Subcontracting Costs", "Quality Control Costs"]),
        ("2221", ["Inventory Write-downs", "Stock Count Differences", "Shrinkage"]),
        ("2311", ["Salaries", "Wages", "Overtime", "Bonuses", "Temporary Staff",
                  "Commissions", "Directors Fees"]),
        ("2312", ["Pension Contributions", "Health Insurance", "Social Security",
                  "Training", "Staff Welfare", "Recruitment Costs"]),
        ("2321", ["Office Rent", "Warehouse Rent", "Service Charges", "Property Taxes",
                  "Storage Costs"]),
        ("2322", ["Electricity", "Water", "Repairs and Maintenance", "Cleaning",
                  "Security Services", "Waste Disposal"]),
        ("2331", ["Office Supplies", "Telephone", "Internet", "Postage and Courier",
                  "Printing", "*Telex and Fax"]),
        ("2332", ["Travel Domestic", "Travel International", "Meals and Entertainment",
                  "Car Allowances", "*Car Allowances Old Scheme"]),
        ("2333", ["Audit Fees", "Legal Fees", "Consulting Fees", "IT Services",
                  "Tax Advisory Fees"]),
        ("2334", ["Advertising", "Sales Promotions", "Sponsorship", "Market Research"]),
        ("2341", ["Depreciation Buildings", "Depreciation Plant and Machinery",
                  "Depreciation Vehicles", "Depreciation IT Equipment"]),
        ("2342", ["Amortisation Software", "Amortisation Trademarks"]),
        ("2411", ["Interest Income Bank", "Interest Income Loans",
                  "Foreign Exchange Gains"]),
        ("2412", ["Interest Expense Bank Loans", "Interest Expense Bonds",
                  "Bank Charges", "Foreign Exchange Losses",
                  "*Interest Expense Bonds Repaid"]),
        ("2421", ["Current Tax Expense", "Deferred Tax Expense"]),
    ],
    "RETL": [
        ("1111", ["Store Cash Floats", "Safe Cash", "Cash at Bank Store Takings",
                  "Card Settlement Clearing", "Change Fund Stores",
                  "*Cash in Transit Armoured Carrier"]),
        ("1112", ["Franchisee Receivables", "Supplier Rebates Receivable",
                  "Card Scheme Receivables", "Allowance for Doubtful Debts"]),
        ("1113", ["Merchandise Inventory Stores",
                  "Merchandise Inventory Distribution Centre",
                  "Goods in Transit", "Shrinkage Provision", "Consignment Stock"]),
        ("1114", ["Prepaid Store Rent", "Prepaid Insurance", "Deposits Paid"]),
        ("1121", ["Store Fit-outs", "Shop Equipment", "Point of Sale Terminals",
                  "Delivery Vehicles", "Accumulated Depreciation Store Fit-outs",
                  "Accumulated Depreciation Equipment"]),
        ("1122", ["Goodwill on Store Acquisitions", "Software Licences",
                  "Accumulated Amortisation"]),
        ("1211", ["Merchandise Suppliers", "Non-merchandise Suppliers",
                  "Goods Received Not Invoiced"]),
        ("1212", ["Accrued Expenses", "Accrued Wages", "Gift Card Liability",
                  "Loyalty Points Liability", "*Layby Deposits"]),
        ("1213", ["Sales Tax Payable", "Payroll Tax Payable", "Income Tax Payable"]),
        ("1221", ["Term Loan", "Store Lease Liabilities"]),
        ("1222", ["Provision for Store Closures", "Provision for Long Service Leave"]),
        ("1311", ["Ordinary Share Capital"]),
        ("1321", ["Retained Earnings Brought Forward", "Current Year Earnings"]),
        ("2111", ["Store Sales Food", "Store Sales Non-food", "Online Sales",
                  "Franchise Sales", "Store Sales Apparel", "Click and Collect Sales"]),
        ("2112", ["Customer Returns", "Staff Discounts", "Promotional Markdowns"]),
        ("2121", ["Franchise Fees", "Concession Income",
                  "Advertising Income from Suppliers"]),
        ("2211", ["Cost of Merchandise Sold", "Supplier Rebates", "Freight Inwards"]),
        ("2221", ["Stock Shrinkage", "Waste and Spoilage", "Stocktake Adjustments"]),
        ("2311", ["Store Wages", "Store Management Salaries", "Head Office Salaries",
                  "Casual Staff", "Public Holiday Loadings"]),
        ("2312", ["Superannuation", "Workers Compensation", "Staff Training"]),
        ("2321", ["Store Rent", "Distribution Centre Rent", "Outgoings",
                  "Turnover Rent"]),
        ("2322", ["Store Electricity", "Store Cleaning", "Store Repairs",
                  "Store Security"]),
        ("2331", ["Store Supplies", "Telephone and Internet", "Printing and Stationery",
                  "Bags and Packaging"]),
        ("2332", ["Travel", "Entertainment"]),
        ("2334", ["*Catalogue Advertising", "Digital Marketing", "In-store Promotions",
                  "Loyalty Programme Costs"]),
        ("2341", ["Depreciation Store Fit-outs", "Depreciation Equipment",
                  "Depreciation Vehicles"]),
        ("2412", ["Interest Expense", "Lease Interest", "Bank and Card Fees"]),
        ("2421", ["Income Tax Expense"]),
    ],
}

# ---------------------------------------------------------------------------
# Categories, multipliers.
# ---------------------------------------------------------------------------

CATEGORIES = [
    ("CURA", "Current Assets"),
    ("NCA", "Non-current Assets"),
    ("CURL", "Current Liabilities"),
    ("NCL", "Non-current Liabilities"),
    ("EQTY", "Equity"),
    ("REV", "Revenue"),
    ("COS", "Cost of Sales"),
    ("OPEX", "Operating Expenses"),
    ("DEPR", "Depreciation and Amortisation"),
    ("FIN", "Finance Income and Costs"),
    ("TAX", "Income Tax"),
    ("STAT", "Statistical Measures"),
]

# The account's own category follows its level-3 code.
CATEGORY_OF_L3 = {
    "111": "CURA", "112": "NCA", "121": "CURL", "122": "NCL",
    "131": "EQTY", "132": "EQTY", "211": "REV", "212": "REV",
    "221": "COS", "222": "COS", "231": "OPEX", "232": "OPEX",
    "233": "OPEX", "234": "DEPR", "241": "FIN", "242": "TAX",
}

MULTIPLIERS = [
    ("MSIGN", "Sign reversal for credit balance accounts"),
    ("MFX", "Foreign currency translation rate"),
    ("MTHOU", "Scale to thousands for management reporting"),
    ("DSIGN", "Sign reversal retired and replaced by MSIGN"),
]

# MTHOU has no cross-reference: its account list stays empty.
MULTIPLIER_XREF = [
    ("MSIGN", "ACCOUNT_SIGN_MULT"),
    ("MFX", "ACCOUNT_FX_RATE_TYP"),
    ("DSIGN", "ACCOUNT_SIGN_MULT"),
]

# Level-4 codes whose accounts carry a credit balance.
CREDIT_L4_PREFIXES = ("12", "13", "21", "2411")

# ---------------------------------------------------------------------------
# Business units (area BU) and business areas (area BA). Ids are four digits:
# prefix, two-digit block of the level-3 code, running number.
# ---------------------------------------------------------------------------

BU_L1 = [("1", "Domestic Operations"), ("2", "International Operations")]
BU_L2 = [
    ("11", "Store Network", "1"),
    ("12", "Supply Chain", "1"),
    ("13", "Head Office", "1"),
    ("21", "International Stores", "2"),
    ("22", "Global Sourcing", "2"),
]
BU_L3 = [
    ("111", "Stores North", "11", "01", ["Brisbane City Store", "Gold Coast Store",
                                         "Cairns Store", "Townsville Store"]),
    ("112", "Stores South", "11", "02", ["Melbourne Central Store", "Geelong Store",
                                         "Hobart Store", "Adelaide Store"]),
    ("113", "Stores West", "11", "03", ["Perth City Store", "Fremantle Store",
                                        "Darwin Store"]),
    ("121", "Distribution Centres", "12", "11", ["Sydney Distribution Centre",
                                                 "Melbourne Distribution Centre",
                                                 "Perth Distribution Centre"]),
    ("122", "Transport Fleet", "12", "12", ["Linehaul Fleet", "Home Delivery Fleet"]),
    ("131", "Finance and Administration", "13", "21", ["Group Finance", "Treasury",
                                                       "Internal Audit"]),
    ("132", "Information Technology", "13", "22", ["IT Infrastructure",
                                                   "IT Applications"]),
    ("133", "Human Resources", "13", "23", ["People and Culture", "Payroll Services"]),
    ("211", "Stores New Zealand", "21", "41", ["Auckland Store", "Wellington Store",
                                               "Christchurch Store"]),
    ("212", "Stores Singapore", "21", "42", ["Orchard Road Store", "Jurong Store"]),
    ("221", "Sourcing Asia", "22", "51", ["Shanghai Sourcing Office",
                                          "Dhaka Sourcing Office"]),
    ("222", "Sourcing Europe", "22", "52", ["Milan Sourcing Office"]),
]
# Closed stores keep their own level-3 code, which the dictionary lacks.
BU_L3_UNLISTED = [
    ("119", "Closed Stores", "11", "09", ["Launceston Store", "Ballarat Store"]),
]
BU_LEVELS_WITHOUT_CODES = ["L4"]

BA_L1 = [("1", "Consumer Products"), ("2", "Services")]
BA_L2 = [
    ("11", "Food", "1"),
    ("12", "General Merchandise", "1"),
    ("21", "Financial Services", "2"),
    ("22", "Logistics Services", "2"),
]
BA_L3 = [
    ("111", "Fresh Food", "11", "01", ["Fruit and Vegetables", "Meat and Seafood",
                                       "Bakery", "Dairy and Deli"]),
    ("112", "Packaged Food", "11", "02", ["Pantry Staples", "Frozen Foods",
                                          "Snacks and Confectionery"]),
    ("113", "Beverages", "11", "03", ["Soft Drinks", "Hot Beverages", "Liquor"]),
    ("121", "Apparel", "12", "11", ["Womenswear", "Menswear", "Childrenswear",
                                    "Footwear"]),
    ("122", "Electronics", "12", "12", ["Home Entertainment", "Computers and Phones",
                                        "Small Appliances"]),
    ("123", "Home and Garden", "12", "13", ["Furniture", "Homewares",
                                            "Garden and Outdoor"]),
    ("211", "Consumer Credit", "21", "21", ["Store Credit Cards", "Personal Loans"]),
    ("212", "Insurance", "21", "22", ["Extended Warranties", "Travel Insurance"]),
    ("221", "Warehousing", "22", "31", ["Third Party Warehousing"]),
    ("222", "Freight Forwarding", "22", "32", ["Sea Freight", "Air Freight"]),
    # A new code nobody has assigned business areas to yet.
    ("223", "Last Mile Delivery", "22", None, []),
]
BA_LEVELS_WITHOUT_CODES = ["L4"]


# ---------------------------------------------------------------------------
# Building the rows.
# ---------------------------------------------------------------------------

def dedupe(rows):
    seen = set()
    out = []
    for row in rows:
        if row not in seen:
            seen.add(row)
            out.append(row)
    return out


def build_accounts():
    l4_name = {code: name for code, name, _ in AC_L4}
    l4_parent = {code: parent for code, _, parent in AC_L4}
    for code, (name, parent) in AC_L4_UNLISTED.items():
        l4_name[code] = name
        l4_parent[code] = parent
    l3 = {code: (name, parent) for code, name, parent in AC_L3}
    l2 = {code: (name, parent) for code, name, parent in AC_L2}
    l1 = dict(AC_L1)
    cat_name = dict(CATEGORIES)
    rows = []
    for chart, chart_name in CHARTS:
        for l4code, names in ACCOUNTS[chart]:
            l3code = l4_parent[l4code]
            l2code = l3[l3code][1]
            l1code = l2[l2code][1]
            levels = [(l1code, l1[l1code]), (l2code, l2[l2code][0]),
                      (l3code, l3[l3code][0]), (l4code, l4_name[l4code])]
            if chart == "CORP":
                # Ragged hierarchy padded downwards with the level-4 entry.
                levels += [levels[3]] * 3
            else:
                # The retail chart only maintains five levels.
                levels += [levels[3], (None, None), (None, None)]
            category = CATEGORY_OF_L3[l3code]
            sign = "-1" if l4code.startswith(CREDIT_L4_PREFIXES) else "1"
            if chart == "RETL":
                fx = None  # single-currency chart
            elif l4code[:3] in ("111", "121", "122") and l4code not in ("1113", "1114"):
                fx = "CLOSING"
            elif l4code.startswith("1"):
                fx = "HISTORIC"
            else:
                fx = "AVERAGE"
            # Numbers run code + 10 to code + 90.
            assert len(names) <= 9, l4code
            for i, raw in enumerate(names, start=1):
                blocked = raw.startswith("*")
                name = raw.lstrip("*")
                account = "%s%d0" % (l4code, i)
                row = [chart, account, chart_name, name]
                for code, text in levels:
                    row += [code, text]
                row += [category, cat_name[category], sign, fx, "1" if blocked else "0"]
                rows.append(tuple(row))
    return rows


ACCOUNT_COLUMNS = (
    ["BUSINESS_UNIT_ID", "ACCOUNT_NO", "BUSINESS_UNIT_NM", "ACCOUNT_NM"]
    + [c for n in range(1, 8) for c in ("ACCOUNT_LVL_%d_NO" % n, "ACCOUNT_LVL_%d_NM" % n)]
    + ["ACCOUNT_CAT_TYP_CD", "ACCOUNT_CAT_TYP_NM", "ACCOUNT_SIGN_MULT",
       "ACCOUNT_FX_RATE_TYP", "BLOCKED_FLG"]
)


def build_dimension(prefix, l1, l2, l3, nlevels, unknown_member):
    l1d = dict(l1)
    l2d = {code: (name, parent) for code, name, parent in l2}
    rows = []
    if unknown_member:
        # The dimension's unknown member: id 0 and an empty code.
        rows.append(tuple(["0", "", "Unknown"] + ["0", "Unknown"] * nlevels))
    for code3, name3, code2, block, members in l3:
        code1 = l2d[code2][1]
        for i, name in enumerate(members, start=1):
            ident = "%s%s%d" % (prefix, block, i)
            row = [ident, ident, name,
                   code1, l1d[code1], code2, l2d[code2][0], code3, name3]
            row += [ident, name] * (nlevels - 3)
            rows.append(tuple(row))
    return rows


def block_ranges(prefix, l3, code_level, code):
    """Ranges of one code as a user enters them: one per id block below it."""
    out = []
    for code3, _, code2, block, members in l3:
        if block is None or not members:
            continue
        owner = {"L2": code2, "L3": code3}[code_level]
        if owner == code:
            out.append(("%s%s0" % (prefix, block), "%s%s9" % (prefix, block)))
    return out


def propagate_up(ranges, hier_rows):
    """Copies each code's ranges to every ancestor, as the range editor does.

    ranges maps (coa, level, code) to an ordered list of (from, to);
    hier_rows are (area, coa, parent level, parent code, child level, child code).
    """
    parents = {}
    for _, coa, plevel, pcode, clevel, ccode in hier_rows:
        if ccode.strip():
            parents.setdefault((coa, clevel, ccode), []).append((plevel, pcode))

    def climb(coa, level, code, fr, to, seen):
        for plevel, pcode in parents.get((coa, level, code), []):
            if (plevel, pcode) in seen:
                continue
            key = (coa, plevel, pcode)
            lst = ranges.setdefault(key, [])
            if (fr, to) not in lst:
                lst.append((fr, to))
            climb(coa, plevel, pcode, fr, to, seen | {(plevel, pcode)})

    for key in list(ranges):
        for fr, to in list(ranges[key]):
            climb(key[0], key[1], key[2], fr, to, {(key[1], key[2])})
    return ranges


def build():
    t = {}

    # -- Source tables -------------------------------------------------------
    accounts = build_accounts()
    t["CHART_OF_ACCOUNT"] = (ACCOUNT_COLUMNS, accounts)

    bu_cols = ["BUS_UNIT_DIM_ID", "BUSINESS_UNIT_CD", "BUSINESS_UNIT_NM"]
    bu_cols += [c for n in range(1, 11)
                for c in ("BUS_UNIT_LVL%d_CD" % n, "BUS_UNIT_LVL%d_NM" % n)]
    t["BUSINESS_UNIT"] = (bu_cols, build_dimension(
        "1", BU_L1, BU_L2, BU_L3 + BU_L3_UNLISTED, 10, unknown_member=True))

    ba_cols = ["BUSINESS_AR_DIM_ID", "BUSINESS_AREA_CD", "BUSINESS_AREA_NM"]
    ba_cols += [c for n in range(1, 6)
                for c in ("BA_LEVEL_%d_CD" % n, "BA_LEVEL_%d_NM" % n)]
    t["BUSINESS_AREA"] = (ba_cols, build_dimension(
        "2", BA_L1, BA_L2, BA_L3, 5, unknown_member=False))

    t["CS_MULTIPLIER"] = (["MULPT", "MULDESC"], MULTIPLIERS)
    t["CS_MULTIPLIERXREF"] = (["CS_MULPT", "CS_MULFIELD"], MULTIPLIER_XREF)
    t["C_EXEJOBS"] = (["JOB_ID", "JOB_NM", "JOB_STATUS", "LAST_RUN_TS"],
                      [("MARTLOAD", "Nightly mart load", "COMPLETE",
                        "2024-06-30 02:15:00")])

    # -- Code dictionaries ---------------------------------------------------
    src = []
    for level, entries in (("L1", AC_L1), ("L2", AC_L2), ("L3", AC_L3), ("L4", AC_L4)):
        src += [("AC", level, e[0], e[1]) for e in entries]
    src += [("AC", level, BLANK, BLANK) for level in AC_LEVELS_WITHOUT_CODES]
    for level, entries in (("L1", BU_L1), ("L2", BU_L2), ("L3", BU_L3)):
        src += [("BU", level, e[0], e[1]) for e in entries]
    src += [("BU", level, BLANK, BLANK) for level in BU_LEVELS_WITHOUT_CODES]
    for level, entries in (("L1", BA_L1), ("L2", BA_L2), ("L3", BA_L3)):
        src += [("BA", level, e[0], e[1]) for e in entries]
    src += [("BA", level, BLANK, BLANK) for level in BA_LEVELS_WITHOUT_CODES]
    t["CS_SOURCE"] = (["SOAREA", "SOLEVEL", "SOCODE", "SODESC"], src)
    t["CS_CAT_DESC"] = (["CAT_CODE", "CAT_DESC"], CATEGORIES)

    # -- Level hierarchy -----------------------------------------------------
    hier = []
    l4_parent = {code: parent for code, _, parent in AC_L4}
    l4_parent.update({code: v[1] for code, v in AC_L4_UNLISTED.items()})
    l3_parent = {code: parent for code, _, parent in AC_L3}
    l2_parent = {code: parent for code, _, parent in AC_L2}
    used = {}
    for chart, _ in CHARTS:
        l4s = [code for code, _ in ACCOUNTS[chart]]
        l3s = sorted({l4_parent[c] for c in l4s})
        l2s = sorted({l3_parent[c] for c in l3s})
        used[chart] = (l4s, l3s, l2s)
        for c2 in l2s:
            hier.append(("AC", chart, "L1", l2_parent[c2], "L2", c2))
        for c3 in l3s:
            hier.append(("AC", chart, "L2", l3_parent[c3], "L3", c3))
    # Statistical accounts: a parent code still waiting for its children.
    hier.append(("AC", "CORP", "L1", "9", BLANK, BLANK))
    # The retail chart has L3 as a parent level, but no parent codes on it yet.
    hier.append(("AC", "RETL", "L3", BLANK, BLANK, BLANK))

    for code2, _, code1 in BU_L2:
        hier.append(("BU", "BU", "L1", code1, "L2", code2))
    for code3, _, code2, _, _ in BU_L3:
        hier.append(("BU", "BU", "L2", code2, "L3", code3))

    for code2, _, code1 in BA_L2:
        hier.append(("BA", "BA", "L1", code1, "L2", code2))
    for code3, _, code2, _, _ in BA_L3:
        if code2 == "22":
            continue  # Logistics Services has not been broken down yet.
        hier.append(("BA", "BA", "L2", code2, "L3", code3))
    hier.append(("BA", "BA", "L2", "22", BLANK, BLANK))
    hier = sorted(dedupe(hier))
    t["CS_LEVELHIER"] = (["CS_AREA", "CS_COA", "CS_PARENTLEVEL", "CS_PARENTCODE",
                          "CS_CHILDLEVEL", "CS_CHILDCODE"], hier)

    # -- Account level ranges ------------------------------------------------
    ranges = {}
    for chart, _ in CHARTS:
        l4s, l3s, _ = used[chart]
        for c4 in l4s:
            ranges[(chart, "L4", c4)] = [(c4 + "00", c4 + "99")]
        for c3 in l3s:
            if c3.startswith("1"):
                # Balance sheet codes were entered one range per level-4 block.
                ranges[(chart, "L3", c3)] = [(c4 + "00", c4 + "99")
                                             for c4 in l4s if l4_parent[c4] == c3]
            else:
                ranges[(chart, "L3", c3)] = [(c3 + "000", c3 + "999")]
    propagate_up(ranges, [h for h in hier if h[0] == "AC"])
    coa_rows = []
    for (chart, level, code), lst in ranges.items():
        coa_rows += [(chart, level, code, fr, to) for fr, to in lst]
    coa_rows.append(("CORP", "L1", "9", BLANK, BLANK))
    coa_rows.append(("RETL", "L5", BLANK, BLANK, BLANK))
    coa_rows = sorted(dedupe(coa_rows))
    t["CS_COA_ACCT_RANGE"] = (["CO_COA", "CO_LEVEL", "CO_CODE", "CO_FR_ACCT",
                               "CO_TO_ACCT"], coa_rows)

    def ranges_of(chart, level, code):
        return [(r[3], r[4]) for r in coa_rows
                if r[:3] == (chart, level, code) and r[3].strip()]

    # -- Multiplier and category hierarchies and their ranges -----------------
    mhier = [
        ("AC", "CORP", "MSIGN", "L2", "12"),
        ("AC", "CORP", "MSIGN", "L2", "13"),
        ("AC", "CORP", "MSIGN", "L2", "21"),
        ("AC", "CORP", "MFX", "L1", "1"),
        ("AC", "CORP", "MFX", "L3", BLANK),
        ("AC", "CORP", "MTHOU", BLANK, BLANK),
        ("AC", "CORP", "DSIGN", "L3", "211"),
        ("AC", "RETL", BLANK, BLANK, BLANK),
    ]
    t["CS_MULTIPLIERHIER"] = (["CS_AREA", "CS_COA", "CS_MULTIPLIER", "CS_LEVEL",
                               "CS_CODE"], sorted(mhier))
    mrange = []
    for _, chart, mul, level, code in mhier:
        if not mul.strip():
            mrange.append((chart, BLANK, BLANK, BLANK))
        elif not code.strip():
            if not level.strip():
                mrange.append((chart, mul, BLANK, BLANK))
        else:
            mrange += [(chart, mul, fr, to) for fr, to in ranges_of(chart, level, code)]
    # A multiplier code that was never entered in the multiplier dictionary.
    mrange.append(("CORP", "MLEG", "241100", "241199"))
    t["CS_MULTIPLIER_RANGE"] = (["MUL_COA", "MUL_CODE", "MUL_FR_ACCT", "MUL_TO_ACCT"],
                                sorted(dedupe(mrange)))

    chier = []
    for chart, _ in CHARTS:
        l3s = used[chart][1]
        for c3 in l3s:
            cat = CATEGORY_OF_L3[c3]
            if cat in ("EQTY", "REV", "COS"):
                chier.append(("AC", chart, cat, "L2", l3_parent[c3]))
            elif not (chart == "RETL" and cat == "TAX"):
                chier.append(("AC", chart, cat, "L3", c3))
    chier.append(("AC", "CORP", "STAT", BLANK, BLANK))
    chier.append(("AC", "RETL", "TAX", "L3", BLANK))
    chier = sorted(dedupe(chier))
    t["CS_CATEGORYHIER"] = (["CS_AREA", "CS_COA", "CS_CATEGORY", "CS_LEVEL",
                             "CS_CODE"], chier)
    crange = []
    for _, chart, cat, level, code in chier:
        if code.strip():
            crange += [(chart, cat, fr, to) for fr, to in ranges_of(chart, level, code)]
        else:
            crange.append((chart, cat, BLANK, BLANK))
    # A category code without a CS_CAT_DESC row.
    crange.append(("RETL", "LEGACY", "212100", "212199"))
    t["CS_CAT_TYPE"] = (["CAT_COA", "CAT_TYP_CD", "CAT_FR_ACCT", "CAT_TO_ACCT"],
                        sorted(dedupe(crange)))

    # -- Business unit and business area ranges ------------------------------
    bubl = {}
    for area, l3, l3_extra, prefix in (("BU", BU_L3, BU_L3_UNLISTED, "1"),
                                       ("BA", BA_L3, [], "2")):
        for code3, _, _, block, members in l3 + l3_extra:
            if block is not None and members:
                bubl[(area, "L3", code3)] = block_ranges(prefix, l3 + l3_extra,
                                                         "L3", code3)
        # A code at the top of the hierarchy that has no children yet carries
        # the ranges its user entered directly.
        for _, coa, plevel, pcode, clevel, ccode in hier:
            if coa == area and not ccode.strip() and pcode.strip():
                bubl[(area, plevel, pcode)] = block_ranges(prefix, l3, plevel, pcode)
        propagate_up(bubl, [h for h in hier if h[0] == area])
    bu_rows = []
    for (area, level, code), lst in bubl.items():
        bu_rows += [(area, level, code, fr, to) for fr, to in lst]
    bu_rows.append(("BU", "L4", BLANK, BLANK, BLANK))
    bu_rows.append(("BA", "L3", "223", BLANK, BLANK))
    t["CS_BA_BU_LEVELS"] = (["SO_AREA", "SO_LEVELS", "SO_CODE", "SO_FR_CD", "SO_TO_CD"],
                            sorted(dedupe(bu_rows)))
    return t


TABLE_ORDER = [
    "CHART_OF_ACCOUNT", "BUSINESS_UNIT", "BUSINESS_AREA", "CS_MULTIPLIER",
    "CS_MULTIPLIERXREF", "C_EXEJOBS", "CS_SOURCE", "CS_CAT_DESC",
    "CS_LEVELHIER", "CS_MULTIPLIERHIER", "CS_CATEGORYHIER",
    "CS_COA_ACCT_RANGE", "CS_MULTIPLIER_RANGE", "CS_CAT_TYPE", "CS_BA_BU_LEVELS",
]


def literal(value):
    if value is None:
        return "NULL"
    text = str(value)
    # The seed must stay loadable by a plain split on ";" at line ends and
    # must leave apostrophes to the tests.
    assert "'" not in text and ";" not in text, text
    # The editors split node texts at ":" and " - ".
    assert " - " not in text, text
    assert all(32 <= ord(ch) < 127 for ch in text), text
    return "'" + text + "'"


def main():
    tables = build()
    out = sys.stdout
    out.write("-- Demo warehouse seed for qlx, generated by data/generate_seed.py.\n")
    out.write("-- Edit the generator and regenerate rather than editing this file.\n")
    out.write("-- One INSERT per row and per line. Placeholder rows hold a single blank\n")
    out.write("-- in their unfilled key columns.\n")
    for name in TABLE_ORDER:
        cols, rows = tables[name]
        out.write("\n-- %s: %d rows\n" % (name, len(rows)))
        head = "INSERT INTO %s (%s) VALUES (" % (name, ", ".join(cols))
        for row in rows:
            assert len(row) == len(cols), (name, row)
            out.write(head + ", ".join(literal(v) for v in row) + ");\n")


if __name__ == "__main__":
    main()
